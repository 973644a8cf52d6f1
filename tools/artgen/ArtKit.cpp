#include "tools/artgen/ArtKit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace artgen {

QRect R(const qx::layout::Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QPolygonF Poly(const qx::layout::Quad& q) {
    QPolygonF poly;
    for (const auto& pt : q) poly << QPointF(pt.x, pt.y);
    return poly;
}

QFont Font(int pixelSize, int weight, bool italic) {
    QFont f;
    f.setFamilies({"DejaVu Sans", "WenQuanYi Micro Hei"});
    f.setPixelSize(pixelSize);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage NewPicture(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour::kBackground);
    return img;
}

QImage NewTransparent(int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QColor StateText(State s) {
    switch (s) {
        case kOver:
            return Qt::white;
        case kDown:
            return colour::kDarkText;
        default:
            return QColor(0xBD, 0xBD, 0xC8);
    }
}

void Background(QPainter& p, const QRect& area) {
    p.save();
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    g.setColorAt(0, QColor(0x10, 0x13, 0x18));
    g.setColorAt(1, QColor(0x08, 0x09, 0x0C));
    p.fillRect(area, g);
    // Carbon weave: two sets of faint diagonals.
    p.setClipRect(area);
    p.setPen(QPen(QColor(255, 255, 255, 6), 1));
    for (int x = area.left() - area.height(); x < area.right(); x += 4)
        p.drawLine(x, area.top(), x + area.height(), area.bottom());
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    for (int x = area.left(); x < area.right() + area.height(); x += 4)
        p.drawLine(x, area.top(), x - area.height(), area.bottom());
    QRadialGradient v(area.center(), std::max(area.width(), area.height()) * 0.75);
    v.setColorAt(0, QColor(0, 0, 0, 0));
    v.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(area, v);
    p.restore();
}

void Panel(QPainter& p, const QRect& area, const QString& title) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    g.setColorAt(0, QColor(0x16, 0x1B, 0x22, 235));
    g.setColorAt(1, QColor(0x0E, 0x11, 0x16, 235));
    p.setBrush(g);
    p.setPen(QPen(colour::kPanelEdge, 1));
    p.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    // Corner accents.
    p.setPen(QPen(colour::kCyanDeep, 2));
    const QRectF a = QRectF(area).adjusted(1, 1, -1, -1);
    p.drawLine(a.topLeft(), a.topLeft() + QPointF(14, 0));
    p.drawLine(a.topLeft(), a.topLeft() + QPointF(0, 14));
    p.drawLine(a.bottomRight(), a.bottomRight() - QPointF(14, 0));
    p.drawLine(a.bottomRight(), a.bottomRight() - QPointF(0, 14));
    p.restore();
    if (!title.isEmpty())
        Heading(p, QRect(area.left() + 10, area.top() + 6, area.width() - 20, 20), title);
}

void Inset(QPainter& p, const QRect& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour::kInset);
    p.setPen(QPen(QColor(0x2A, 0x33, 0x3E), 1));
    p.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.drawLine(area.left() + 2, area.top() + 1, area.right() - 2, area.top() + 1);
    p.restore();
}

void Heading(QPainter& p, const QRect& area, const QString& text, int pixelSize) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const int midY = area.center().y();
    p.fillRect(QRect(area.left(), midY - 6, 3, 12), colour::kCyan);
    p.setFont(Font(pixelSize, QFont::DemiBold));
    p.setPen(colour::kHeading);
    QRect textArea = area.adjusted(9, 0, 0, 0);
    QRect used;
    p.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text, &used);
    const int ruleY = area.bottom();
    QLinearGradient g(area.left(), 0, area.right(), 0);
    g.setColorAt(0, QColor(0x19, 0xC3, 0xEE, 120));
    g.setColorAt(1, QColor(0x19, 0xC3, 0xEE, 0));
    p.fillRect(QRect(area.left(), ruleY, area.width(), 1), g);
    p.restore();
}

void Label(QPainter& p, const QRect& area, const QString& text, int pixelSize, const QColor& c,
           int flags) {
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Font(pixelSize));
    p.setPen(c);
    p.drawText(area, flags, text);
    p.restore();
}

static void FaceBrush(QPainter& p, const QRectF& box, State s) {
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    if (s == kDown) {
        g.setColorAt(0, QColor(0xFF, 0xD8, 0x7A));
        g.setColorAt(0.5, colour::kGold);
        g.setColorAt(1, colour::kGoldDeep);
        p.setPen(QPen(QColor(0xFF, 0xE6, 0xA8), 1));
    } else if (s == kOver) {
        g.setColorAt(0, QColor(0x1F, 0x3A, 0x4C));
        g.setColorAt(1, QColor(0x10, 0x1E, 0x29));
        p.setPen(QPen(colour::kCyan, 1));
    } else {
        g.setColorAt(0, QColor(0x22, 0x28, 0x31));
        g.setColorAt(1, QColor(0x13, 0x17, 0x1D));
        p.setPen(QPen(QColor(0x34, 0x3E, 0x4A), 1));
    }
    p.setBrush(g);
}

void Plate(QPainter& p, const QRect& area, State s, const QString& text, int pixelSize,
           int radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    if (s == kOver) {  // soft outer glow
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x19, 0xC3, 0xEE, 40));
        p.drawRoundedRect(box.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    }
    FaceBrush(p, box, s);
    p.drawRoundedRect(box, radius, radius);
    // Top highlight line.
    p.setPen(QPen(QColor(255, 255, 255, s == kDown ? 90 : 22), 1));
    p.drawLine(QPointF(box.left() + radius, box.top() + 1),
               QPointF(box.right() - radius, box.top() + 1));
    if (!text.isEmpty()) {
        p.setFont(Font(pixelSize, QFont::DemiBold));
        p.setPen(StateText(s));
        p.drawText(area, Qt::AlignCenter, text);
    }
    p.restore();
}

void PlatePolygon(QPainter& p, const QPolygonF& shape, State s, const QString& text,
                  int pixelSize) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = shape.boundingRect();
    FaceBrush(p, box, s);
    p.drawPolygon(shape);
    if (s != kDown) {  // accent line along the bottom edge
        p.setPen(QPen(s == kOver ? colour::kCyan : QColor(0x2E, 0x58, 0x6E), 2));
        p.drawLine(shape[3] + QPointF(2, -1.5), shape[2] + QPointF(-2, -1.5));
    }
    p.setFont(Font(pixelSize, QFont::Bold));
    p.setPen(s == kNormal ? colour::kText : StateText(s));
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void Pill(QPainter& p, const QRect& area, State s, const QString& text, int pixelSize) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal r = box.height() / 2;
    if (s == kDown) {
        FaceBrush(p, box, s);
        p.drawRoundedRect(box, r, r);
    } else if (s == kOver) {
        p.setBrush(QColor(0x19, 0xC3, 0xEE, 36));
        p.setPen(QPen(colour::kCyan, 1));
        p.drawRoundedRect(box, r, r);
    } else {
        p.setBrush(QColor(0x1A, 0x1F, 0x26));
        p.setPen(QPen(QColor(0x2C, 0x35, 0x40), 1));
        p.drawRoundedRect(box, r, r);
    }
    p.setFont(Font(pixelSize, QFont::Bold));
    p.setPen(s == kNormal ? colour::kText : StateText(s));
    p.drawText(area, Qt::AlignCenter, text);
    p.restore();
}

void CheckBox(QPainter& p, const QRect& area, State s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(colour::kInset);
    p.setPen(QPen(
        s == kNormal ? QColor(0x4A, 0x57, 0x66) : (s == kOver ? colour::kCyan : colour::kGold), 1));
    p.drawRoundedRect(box, 2, 2);
    if (s == kDown) {
        p.setPen(QPen(colour::kGold, std::max(1.5, box.width() / 7), Qt::SolidLine, Qt::RoundCap));
        const qreal w = box.width(), h = box.height();
        p.drawPolyline(QPolygonF{box.topLeft() + QPointF(w * 0.22, h * 0.52),
                                 box.topLeft() + QPointF(w * 0.42, h * 0.72),
                                 box.topLeft() + QPointF(w * 0.78, h * 0.28)});
    } else if (s == kOver) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x19, 0xC3, 0xEE, 70));
        p.drawRoundedRect(box.adjusted(2.5, 2.5, -2.5, -2.5), 1, 1);
    }
    p.restore();
}

void Option(QPainter& p, const QRect& area, State s, const QString& text, int pixelSize,
            bool round) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const int lamp = std::min(area.height() - 4, 11);
    const QRectF l(area.left() + 2, area.center().y() - lamp / 2.0 + 0.5, lamp, lamp);
    p.setBrush(colour::kInset);
    const QColor edge =
        s == kNormal ? QColor(0x4A, 0x57, 0x66) : (s == kOver ? colour::kCyan : colour::kGold);
    p.setPen(QPen(edge, 1));
    if (round)
        p.drawEllipse(l);
    else
        p.drawRoundedRect(l, 2, 2);
    if (s != kNormal) {
        QRadialGradient g(l.center(), lamp / 2.0);
        const QColor c = s == kOver ? colour::kCyan : colour::kGold;
        g.setColorAt(0, c.lighter(140));
        g.setColorAt(1, c.darker(s == kOver ? 250 : 130));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        const QRectF dot = l.adjusted(2.5, 2.5, -2.5, -2.5);
        if (round)
            p.drawEllipse(dot);
        else
            p.drawRoundedRect(dot, 1, 1);
    }
    p.setFont(Font(pixelSize, s == kDown ? QFont::DemiBold : QFont::Normal));
    p.setPen(s == kNormal ? colour::kText : (s == kOver ? Qt::white : colour::kGold));
    p.drawText(area.adjusted(lamp + 7, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

void SliderTrack(QPainter& p, const QRect& area, const QColor& from, const QColor& to) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = 4;
    const QRectF groove(area.left() + 2, area.center().y() - h / 2 + 0.5, area.width() - 4, h);
    p.setPen(QPen(QColor(0x2A, 0x33, 0x3E), 1));
    p.setBrush(colour::kInset);
    p.drawRoundedRect(groove.adjusted(-1, -1, 1, 1), 3, 3);
    QLinearGradient g(groove.topLeft(), groove.topRight());
    QColor a = from, b = to;
    a.setAlpha(150);
    b.setAlpha(200);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(groove, 2, 2);
    p.restore();
}

void CloseGlyph(QPainter& p, const QRect& area, State s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (s != kNormal) {
        p.setPen(Qt::NoPen);
        p.setBrush(s == kOver ? QColor(0xC8, 0x32, 0x3C, 200) : QColor(0x8A, 0x1A, 0x22));
        p.drawRoundedRect(QRectF(area).adjusted(2, 2, -2, -2), 3, 3);
    }
    const QPointF c = QRectF(area).center();
    const qreal d = std::min(area.width(), area.height()) * 0.2;
    p.setPen(QPen(s == kNormal ? colour::kText : Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
    p.restore();
}

void MinimiseGlyph(QPainter& p, const QRect& area, State s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (s != kNormal) {
        p.setPen(Qt::NoPen);
        p.setBrush(s == kOver ? QColor(0x19, 0xC3, 0xEE, 60) : QColor(0xF0, 0xB8, 0x3C, 160));
        p.drawRoundedRect(QRectF(area).adjusted(2, 2, -2, -2), 3, 3);
    }
    const QPointF c = QRectF(area).center();
    p.setPen(QPen(s == kNormal ? colour::kText : Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-6, 4), c + QPointF(6, 4));
    p.restore();
}

void ArrowGlyph(QPainter& p, const QRect& area, bool up, const QColor& c) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF m = QRectF(area).center();
    const qreal w = std::max(2.0, std::min(area.width(), area.height() * 2) * 0.28);
    const qreal h = w * 0.65;
    QPolygonF tri;
    if (up)
        tri << m + QPointF(-w, h / 2) << m + QPointF(w, h / 2) << m + QPointF(0, -h / 2);
    else
        tri << m + QPointF(-w, -h / 2) << m + QPointF(w, -h / 2) << m + QPointF(0, h / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(tri);
    p.restore();
}

void TitleBar(QPainter& p, const QRect& area) {
    p.save();
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    g.setColorAt(0, QColor(0x1C, 0x22, 0x2B));
    g.setColorAt(1, QColor(0x11, 0x15, 0x1A));
    p.fillRect(area, g);
    QLinearGradient line(area.left(), 0, area.right(), 0);
    line.setColorAt(0, colour::kCyan);
    line.setColorAt(0.6, QColor(0x19, 0xC3, 0xEE, 60));
    line.setColorAt(1, QColor(0xF0, 0xB8, 0x3C, 120));
    p.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), line);
    p.restore();
}

}  // namespace artgen
