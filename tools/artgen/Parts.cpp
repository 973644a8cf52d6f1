// Small pictures: menu items, slider thumb, scroll-bar cells, popup frame,
// language icons and labels, tray icons, event icons.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "tools/artgen/Pictures.h"

namespace artgen {

namespace L = qx::layout;

QImage MenuItem(State s, int width, bool withSub) {
    QImage img = NewPicture(width, L::menu_pictures::kListItem.height);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, img.height());
    if (s == kNormal) {
        g.setColorAt(0, QColor(0x17, 0x1C, 0x23));
        g.setColorAt(1, QColor(0x10, 0x13, 0x18));
    } else if (s == kOver) {
        g.setColorAt(0, QColor(0x1F, 0x3A, 0x4C));
        g.setColorAt(1, QColor(0x12, 0x24, 0x30));
    } else {
        g.setColorAt(0, QColor(0xFF, 0xD8, 0x7A));
        g.setColorAt(1, colour::kGoldDeep);
    }
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, img.height() - 1, width, 1), QColor(0x07, 0x09, 0x0C));
    if (s == kOver) p.fillRect(QRect(0, 0, 3, img.height()), colour::kCyan);
    if (withSub)
        ArrowGlyph(p, QRect(width - 16, 4, 12, 14), false,
                   s == kDown ? colour::kDarkText : colour::kCyan);
    return img;
}

QImage SliderThumb() {
    QImage img = NewTransparent(L::kSliderThumb.width, L::kSliderThumb.height);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, img.width() - 1, img.height() - 1);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, QColor(0xFF, 0xE2, 0x96));
    g.setColorAt(0.5, colour::kGold);
    g.setColorAt(1, colour::kGoldDeep);
    p.setBrush(g);
    p.setPen(QPen(QColor(0x3A, 0x28, 0x05), 1));
    p.drawRoundedRect(box, 3, 3);
    p.setPen(QPen(QColor(0x5A, 0x3E, 0x08), 1));
    p.drawLine(QPointF(img.width() / 2.0, 3.5), QPointF(img.width() / 2.0, img.height() - 3.5));
    return img;
}

QImage ScrollCells() {
    const int cell = L::kScrollCell;
    QImage img = NewPicture(L::kScrollPicture.width, L::kScrollPicture.height);
    img.fill(QColor(0x0F, 0x0F, 0x0F));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 3; ++row) {
        const State s = static_cast<State>(row);
        const QColor glyph =
            s == kNormal ? colour::kText : (s == kOver ? colour::kCyan : colour::kDarkText);
        for (int col = 0; col < 8; ++col) {
            const QRect c(col * cell, row * cell, cell, cell);
            const bool vertical = col < 4;
            const int kind = col % 4;
            if (kind == 3) {  // track
                p.fillRect(c, QColor(0x0C, 0x0E, 0x12));
                p.fillRect(vertical ? QRect(c.center().x() - 1, c.top(), 2, cell)
                                    : QRect(c.left(), c.center().y() - 1, cell, 2),
                           QColor(0x1E, 0x24, 0x2C));
                continue;
            }
            if (kind == 2) {  // thumb: a rounded bar across the whole cell
                QRectF bar =
                    vertical ? QRectF(c).adjusted(4, 0, -4, 0) : QRectF(c).adjusted(0, 4, 0, -4);
                p.setPen(Qt::NoPen);
                p.setBrush(s == kDown ? colour::kGold
                                      : (s == kOver ? colour::kCyan : QColor(0x3A, 0x44, 0x52)));
                p.drawRoundedRect(bar, 3, 3);
                continue;
            }
            Plate(p, c.adjusted(1, 1, -1, -1), s, {}, 8, 2);
            QPolygonF tri;
            const QPointF m = QRectF(c).center();
            const bool first = kind == 0;
            if (vertical)
                tri = first ? QPolygonF{m + QPointF(-4, 2), m + QPointF(4, 2), m + QPointF(0, -3)}
                            : QPolygonF{m + QPointF(-4, -2), m + QPointF(4, -2), m + QPointF(0, 3)};
            else
                tri = first ? QPolygonF{m + QPointF(2, -4), m + QPointF(2, 4), m + QPointF(-3, 0)}
                            : QPolygonF{m + QPointF(-2, -4), m + QPointF(-2, 4), m + QPointF(3, 0)};
            p.setPen(Qt::NoPen);
            p.setBrush(glyph);
            p.drawPolygon(tri);
        }
    }
    return img;
}

QImage PopupFrame() {
    const int n = L::popup_menu::kFrameSize;
    QImage img = NewTransparent(n, n);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow, then a light card with a cyan edge.
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40 - i * 12));
        p.drawRoundedRect(QRectF(i, i + 1, n - 2 * i, n - 2 * i - 1), 6, 6);
    }
    QLinearGradient g(0, 0, 0, n);
    g.setColorAt(0, QColor(0xFA, 0xFB, 0xFC));
    g.setColorAt(1, QColor(0xE6, 0xEA, 0xEF));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x00, 0x93, 0xD1), 1));
    p.drawRoundedRect(QRectF(2.5, 2.5, n - 5, n - 5), 4, 4);
    return img;
}

QImage LanguageIcon(int language) {
    QImage img = NewTransparent(L::kLanguageIcon.width, L::kLanguageIcon.height);
    QPainter p(&img);
    const int w = img.width(), h = img.height();
    auto vertical = [&](QColor a, QColor b, QColor c) {
        p.fillRect(0, 0, w / 3, h, a);
        p.fillRect(w / 3, 0, w - 2 * (w / 3), h, b);
        p.fillRect(w - w / 3, 0, w / 3, h, c);
    };
    auto horizontal = [&](QColor a, QColor b, QColor c) {
        p.fillRect(0, 0, w, 4, a);
        p.fillRect(0, 4, w, 3, b);
        p.fillRect(0, 7, w, 4, c);
    };
    switch (language) {
        case 1:
            p.fillRect(img.rect(), QColor(0xDE, 0x29, 0x10));
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xFF, 0xDE, 0x00));
            p.drawEllipse(QPointF(4, 3.5), 2, 2);
            break;
        case 2:
            p.fillRect(img.rect(), QColor(0x01, 0x21, 0x69));
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(0, 0, w, h);
            p.drawLine(0, h, w, 0);
            p.fillRect(0, 4, w, 3, Qt::white);
            p.fillRect(8, 0, 3, h, Qt::white);
            p.fillRect(0, 5, w, 1, QColor(0xC8, 0x10, 0x2E));
            p.fillRect(9, 0, 1, h, QColor(0xC8, 0x10, 0x2E));
            break;
        case 3:
            vertical(QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xED, 0x29, 0x39));
            break;
        case 4:
            p.fillRect(img.rect(), Qt::white);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xCD, 0x2E, 0x3A));
            p.drawPie(QRectF(6.5, 2.5, 6, 6), 0, 180 * 16);
            p.setBrush(QColor(0x00, 0x47, 0xA0));
            p.drawPie(QRectF(6.5, 2.5, 6, 6), 180 * 16, 180 * 16);
            break;
        case 5:
            horizontal(Qt::black, QColor(0xDD, 0x00, 0x00), QColor(0xFF, 0xCE, 0x00));
            break;
        case 6:
            vertical(QColor(0x00, 0x92, 0x46), Qt::white, QColor(0xCE, 0x2B, 0x37));
            break;
        case 7:
            p.fillRect(img.rect(), QColor(0xAA, 0x15, 0x1B));
            p.fillRect(0, 3, w, 5, QColor(0xF1, 0xBF, 0x00));
            break;
        case 8:
            horizontal(QColor(0xAE, 0x1C, 0x28), Qt::white, QColor(0x21, 0x46, 0x8B));
            break;
        case 9:
            p.fillRect(img.rect(), QColor(0xFF, 0x00, 0x00));
            p.fillRect(0, 0, 8, h, QColor(0x00, 0x66, 0x00));
            break;
        case 10:
            horizontal(Qt::white, QColor(0x00, 0x39, 0xA6), QColor(0xD5, 0x2B, 0x1E));
            break;
        case 11:
            p.fillRect(0, 0, w, h / 2 + 1, QColor(0x00, 0x57, 0xB7));
            p.fillRect(0, h / 2 + 1, w, h - h / 2 - 1, QColor(0xFF, 0xD7, 0x00));
            break;
        default:
            p.fillRect(img.rect(), QColor(0x12, 0x16, 0x1C));
            p.setFont(Font(9, QFont::Bold));
            p.setPen(colour::kGold);
            p.drawText(img.rect(), Qt::AlignCenter, QString::fromUtf8("繁"));
            break;
    }
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    return img;
}

QImage LanguageLabel(int language) {
    static const char* kLabels[12] = {"中文", "EN", "FR", "KO", "DE", "IT",
                                      "ES",   "NL", "PT", "RU", "UA", "繁體"};
    QImage img = NewPicture(L::kLanguageLabel.width, L::kLanguageLabel.height);
    QPainter p(&img);
    p.fillRect(img.rect(), colour::kInset);
    p.setFont(Font(12, QFont::Bold));
    p.setPen(colour::kCyan);
    p.drawText(img.rect(), Qt::AlignCenter, QString::fromUtf8(kLabels[language - 1]));
    return img;
}

QImage TrayIcon(bool exit) {
    QImage img = NewTransparent(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (exit) {
        p.setPen(QPen(QColor(0xC8, 0x32, 0x3C), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(2.5, 3, 11, 11), 120 * 16, 300 * 16);
        p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0x6E, 0x9A));
        for (int k = 0; k < 8; ++k) {
            p.save();
            p.translate(8, 8);
            p.rotate(k * 45);
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
    }
    return img;
}

QImage EventIcon(int type, bool selected) {
    QImage img = NewTransparent(L::kEventIcon.width, L::kEventIcon.height);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = selected ? colour::kGold : colour::kCyan;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(c.red(), c.green(), c.blue(), selected ? 60 : 30));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setBrush(c);
    switch (type) {
        case 2:  // key up
            p.drawPolygon(QPolygonF{{8, 2.5}, {13, 8}, {10, 8}, {10, 13}, {6, 13}, {6, 8}, {3, 8}});
            break;
        case 3:  // key down
            p.drawPolygon(QPolygonF{{8, 13.5}, {13, 8}, {10, 8}, {10, 3}, {6, 3}, {6, 8}, {3, 8}});
            break;
        case 4:  // delay
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(c, 1.6));
            p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
            p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
            p.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
            break;
        default:  // pointer move
            p.drawPolygon(
                QPolygonF{{4, 2}, {4, 13}, {7, 10}, {9.5, 14}, {11, 13}, {8.8, 9.2}, {12.5, 9}});
            break;
    }
    return img;
}

}  // namespace artgen
