// The main window, the buttons page, the mouse pictures, the per-button
// editor, the message boxes, the model chooser and the progress window.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "tools/artgen/Pictures.h"
#include "ui/layout/SkinFiles.h"

namespace artgen {

namespace L = qx::layout;

static QString T(bool chinese, const char* zh, const char* en) {
    return chinese ? QString::fromUtf8(zh) : QString::fromUtf8(en);
}

static void Logo(QPainter& p, int x, int y, bool chinese) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Mark: two slanted blades, cyan and gold, like claw marks.
    for (int i = 0; i < 2; ++i) {
        QPainterPath blade;
        const qreal x0 = x + i * 11;
        blade.moveTo(x0 + 12, y);
        blade.lineTo(x0 + 19, y);
        blade.lineTo(x0 + 7, y + 27);
        blade.lineTo(x0, y + 27);
        blade.closeSubpath();
        QLinearGradient g(x0, y, x0 + 19, y + 27);
        g.setColorAt(0, i == 0 ? colour::kCyan : colour::kGold);
        g.setColorAt(1, i == 0 ? colour::kCyanDeep : colour::kGoldDeep);
        p.fillPath(blade, g);
    }
    p.setFont(Font(26, QFont::Black, true));
    p.setPen(QColor(0xE8, 0xEE, 0xF6));
    p.drawText(QPoint(x + 38, y + 25), "ORVIK");
    p.setFont(Font(11, QFont::DemiBold));
    p.setPen(colour::kText);
    p.drawText(QPoint(x + 40, y + 42),
               T(chinese, "QX 系列 电竞游戏鼠标", "QX SERIES  GAMING MOUSE"));
    p.restore();
}

QImage MainWindow(State s, bool chinese) {
    QImage img = NewPicture(L::main_window::kSize.width, L::main_window::kSize.height);
    QPainter p(&img);
    Background(p, img.rect());
    // Header band.
    QRect header(0, 0, img.width(), 78);
    QLinearGradient hg(header.topLeft(), header.bottomLeft());
    hg.setColorAt(0, QColor(0x17, 0x1C, 0x24));
    hg.setColorAt(1, QColor(0x0C, 0x0F, 0x13));
    p.fillRect(header, hg);
    QLinearGradient rule(0, 0, img.width(), 0);
    rule.setColorAt(0, QColor(0x19, 0xC3, 0xEE, 0));
    rule.setColorAt(0.3, colour::kCyan);
    rule.setColorAt(0.7, colour::kGold);
    rule.setColorAt(1, QColor(0xF0, 0xB8, 0x3C, 0));
    p.fillRect(QRect(0, 77, img.width(), 1), rule);
    Logo(p, 30, 18, chinese);
    // Model name plate (the name itself is drawn by the window).
    const QRect model = R(L::main_window::kModelName).adjusted(-30, -3, 30, 3);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.moveTo(model.left() + 10, model.top());
    plate.lineTo(model.right() - 10, model.top());
    plate.lineTo(model.right(), model.bottom());
    plate.lineTo(model.left(), model.bottom());
    plate.closeSubpath();
    p.fillPath(plate, colour::kInset);
    p.setPen(QPen(QColor(0x19, 0xC3, 0xEE, 140), 1));
    p.drawPath(plate);
    Label(p, QRect(model.left() - 120, model.top(), 110, model.height()),
          T(chinese, "当前型号", "DEVICE"), 10, colour::kText, Qt::AlignRight | Qt::AlignVCenter);
    MinimiseGlyph(p, R(L::main_window::kMinimise), s);
    CloseGlyph(p, R(L::main_window::kHide), s);

    // Page tabs.
    const char* tabZh[5] = {"按键设置", "灯光设置", "宏管理", "荣誉统计", "技术支持"};
    const char* tabEn[5] = {"BUTTONS", "LIGHTING", "MACROS", "TROPHIES", "SUPPORT"};
    for (int i = 0; i < 5; ++i)
        PlatePolygon(p, Poly(L::main_window::kTabs[i]), s, T(chinese, tabZh[i], tabEn[i]), 13);

    // Page well.
    const QRect pages = R(L::main_window::kPages).adjusted(-2, -2, 2, 2);
    p.setPen(QPen(colour::kPanelEdge, 1));
    p.setBrush(QColor(0x0A, 0x0C, 0x10));
    p.drawRoundedRect(QRectF(pages).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

    // Bottom bar.
    p.fillRect(QRect(0, 587, img.width(), 1), QColor(0x24, 0x2D, 0x38));
    Inset(p, R(L::main_window::kLanguageLabel).adjusted(-1, -1, 1, 1));
    Plate(p, R(L::main_window::kLanguageButton), s, {}, 10);
    {
        const QRect b = R(L::main_window::kLanguageButton);
        p.setPen(
            QPen(s == kDown ? colour::kDarkText : (s == kOver ? Qt::white : colour::kText), 1.2));
        p.setBrush(Qt::NoBrush);
        const QRectF globe(b.left() + 8, b.top() + 3, 12, 12);
        p.drawEllipse(globe);
        p.drawEllipse(globe.adjusted(3, 0, -3, 0));
        p.drawLine(QPointF(globe.left(), globe.center().y()),
                   QPointF(globe.right(), globe.center().y()));
        ArrowGlyph(p, QRect(b.left() + 24, b.top() + 3, 12, 12), true,
                   s == kDown ? colour::kDarkText : colour::kCyan);
    }
    Inset(p, R(L::main_window::kHintArea).adjusted(-4, -2, 4, 2));
    for (int i = 0; i < 5; ++i) {
        const QString text =
            chinese ? QString::fromUtf8("配置 %1").arg(i + 1) : QString("PROFILE %1").arg(i + 1);
        PlatePolygon(p, Poly(L::main_window::kProfiles[i]), s, text, 11);
    }
    {
        // Apply: gold-edged even at rest, it is the one action that writes the mouse.
        const QPolygonF apply = Poly(L::main_window::kApply);
        PlatePolygon(p, apply, s, T(chinese, "应  用", "APPLY"), 15);
        if (s == kNormal) {
            p.setPen(QPen(QColor(0xF0, 0xB8, 0x3C, 150), 1));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(apply);
        }
    }
    Label(p, QRect(820, 6, 60, 20), "v1.0", 9, QColor(0x4A, 0x57, 0x66),
          Qt::AlignRight | Qt::AlignVCenter);
    return img;
}

QImage SettingsPage(State s, bool chinese) {
    namespace S = L::settings_page;
    QImage img = NewPicture(S::kSize.width, S::kSize.height);
    QPainter p(&img);
    Background(p, img.rect());
    const int lang = chinese ? 0 : 1;
    Panel(p, QRect(10, 10, 679, 110));
    Panel(p, QRect(10, 124, 340, 128));
    Panel(p, QRect(356, 124, 333, 128));
    Panel(p, QRect(10, 256, 340, 104));
    Panel(p, QRect(356, 256, 333, 140));
    const char* headZh[6] = {"DPI 档位", "指针速度", "传感器高度",
                             "回报率",   "滚轮设置", "按键分配"};
    const char* headEn[6] = {"DPI LEVELS",  "POINTER SPEED", "LIFT HEIGHT",
                             "REPORT RATE", "WHEEL",         "KEY ASSIGNMENT"};
    for (int i = 0; i < 6; ++i) Heading(p, R(S::kHeadings[i]), T(chinese, headZh[i], headEn[i]));
    Label(p, QRect(560, 27, 120, 22), T(chinese, "可选 1-7 档", "choose 1-7 levels"), 10,
          QColor(0x5E, 0x6B, 0x7B), Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < 14; ++i)
        Pill(p, R(S::kDpiBoxes[i]).adjusted(-3, -2, 3, 2), s, QString::number(S::kDpiValues[i]),
             10);

    SliderTrack(p, R(S::kPointerSpeedSlider));
    Label(p, QRect(40, 164, 60, 18), T(chinese, "慢", "Slow"), 10, colour::kText,
          Qt::AlignRight | Qt::AlignVCenter);
    Label(p, QRect(298, 164, 50, 18), T(chinese, "快", "Fast"), 10);
    Option(p, R(S::kAccuracyBox).adjusted(0, 0, 120, 0), s,
           T(chinese, "提高指针精确度", "Enhance pointer precision"), 11);

    SliderTrack(p, R(S::kSensorHeightSlider), colour::kGoldDeep, colour::kGold);
    Label(p, QRect(372, 164, 46, 18), T(chinese, "低", "Low"), 10, colour::kText,
          Qt::AlignRight | Qt::AlignVCenter);
    Label(p, QRect(630, 164, 50, 18), T(chinese, "高", "High"), 10);
    Label(p, QRect(372, 196, 300, 40),
          T(chinese, "调整传感器离开桌面时停止追踪的高度",
            "Height at which the sensor stops tracking\nwhen the mouse is lifted"),
          10, QColor(0x5E, 0x6B, 0x7B), Qt::AlignLeft | Qt::AlignTop);

    for (int i = 0; i < 4; ++i)
        Pill(p, R(S::kReportRateButtons[i]).adjusted(-2, -3, 2, 3), s,
             QString("%1Hz").arg(S::kReportRates[i]), 10);
    Label(p, QRect(40, 326, 300, 28),
          T(chinese, "数值越高，响应越快", "Higher rates answer faster"), 10,
          QColor(0x5E, 0x6B, 0x7B));

    // Wheel: the two choices with their explanations, the lines box and its arrows.
    Option(p, R(S::kWheelLines[lang]), s,
           T(chinese, "一次滚动行数", "Scroll several lines at a time"), 11, true);
    if (!chinese)
        Label(p, QRect(420, 355, 122, 22), "Lines per notch:", 10, colour::kText,
              Qt::AlignRight | Qt::AlignVCenter);
    Option(p, R(S::kWheelScreen[lang]), s,
           T(chinese, "一次滚动一个屏幕", "Scroll one screen at a time"), 11, true);
    Inset(p, R(S::kLinesEdit[lang]).adjusted(-2, 0, 2, 0));
    Plate(p, R(S::kLinesUp[lang]), s, {}, 8, 2);
    Plate(p, R(S::kLinesDown[lang]), s, {}, 8, 2);
    ArrowGlyph(p, R(S::kLinesUp[lang]), true, s == kDown ? colour::kDarkText : colour::kCyan);
    ArrowGlyph(p, R(S::kLinesDown[lang]), false, s == kDown ? colour::kDarkText : colour::kCyan);

    // Assignment tabs along the bottom.
    const char* tabZh[7] = {"左键", "中键", "右键", "前进键", "后退键", "滚轮向前", "滚轮向后"};
    const char* tabEn[7] = {"LEFT", "MIDDLE", "RIGHT", "FORWARD", "BACK", "WHEEL UP", "WHEEL DN"};
    for (int i = 0; i < 7; ++i)
        PlatePolygon(p, Poly(S::TabQuad(i)), s, T(chinese, tabZh[i], tabEn[i]), 11);
    p.fillRect(QRect(12, 442, 675, 2), QColor(0x19, 0xC3, 0xEE, 90));
    return img;
}

// --- mouse pictures ----------------------------------------------------------

static QPainterPath MouseBody(int model) {
    // Each model a little different: wider grip, longer nose, fuller back.
    const qreal widen = (model % 3) * 4.0;
    const qreal nose = 98 - (model % 2) * 6.0;
    QPainterPath path;
    path.moveTo(110, nose);
    path.cubicTo(150, nose, 168 + widen, 112, 172 + widen, 170);         // right front
    path.cubicTo(176 + widen, 230, 170 + widen, 250, 178 + widen, 300);  // right waist
    path.cubicTo(190 + widen, 380, 160, 432, 110, 432);                  // right back
    path.cubicTo(60, 432, 30 - widen, 380, 42 - widen, 300);
    path.cubicTo(50 - widen, 250, 44 - widen, 230, 48 - widen, 170);
    path.cubicTo(52 - widen, 112, 70, nose, 110, nose);
    return path;
}

QImage MousePicture(State s, int model) {
    QImage img = NewPicture(L::mouse_picture::kSize.width, L::mouse_picture::kSize.height);
    QPainter p(&img);
    Background(p, img.rect());
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath body = MouseBody(model);
    const QColor accent = model % 2 ? colour::kGold : colour::kCyan;
    auto withAlpha = [](QColor c, int a) {
        c.setAlpha(a);
        return c;
    };
    // Glow under the mouse, shadow, shell.
    QRadialGradient glow(QPointF(110, 270), 150);
    glow.setColorAt(0, withAlpha(accent, 40));
    glow.setColorAt(1, withAlpha(accent, 0));
    p.fillRect(img.rect(), glow);
    p.save();
    p.translate(5, 7);
    p.fillPath(body, QColor(0, 0, 0, 150));
    p.restore();
    QLinearGradient shell(40, 0, 190, 0);
    shell.setColorAt(0, QColor(0x16, 0x1A, 0x21));
    shell.setColorAt(0.45, QColor(0x30, 0x38, 0x44));
    shell.setColorAt(1, QColor(0x12, 0x15, 0x1A));
    p.fillPath(body, shell);
    // The two main buttons: the front of the shell, split down the middle.
    p.save();
    p.setClipPath(body);
    QLinearGradient keys(0, 90, 0, 215);
    keys.setColorAt(0, QColor(0x3A, 0x44, 0x52));
    keys.setColorAt(1, QColor(0x22, 0x28, 0x31));
    p.fillRect(QRectF(0, 0, 226, 215), keys);
    // Palm rest with a fine grip texture.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    for (int y = 226; y < 432; y += 4) p.drawLine(QPointF(0, y), QPointF(226, y + 30));
    // Side grips differ per model.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0B, 0x0D, 0x11, 200));
    const qreal grip = 6 + model * 1.5;
    p.drawRect(QRectF(0, 230, 40 + grip - (model % 3) * 4, 120));
    p.drawRect(QRectF(182 - grip + (model % 3) * 4, 230, 60, 120));
    p.restore();
    p.setPen(QPen(withAlpha(accent, 170), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setPen(QPen(QColor(0x07, 0x09, 0x0C), 2.5));
    p.drawLine(QPointF(110, 100), QPointF(110, 215));
    p.drawLine(QPointF(46, 216), QPointF(174, 216));
    // Light strips: the palm line, and on the even models two side fins.
    QLinearGradient strip(0, 290, 0, 410);
    strip.setColorAt(0, withAlpha(accent, 0));
    strip.setColorAt(1, withAlpha(accent, 230));
    p.setPen(QPen(QBrush(strip), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(110, 290), QPointF(110, 405));
    if (model % 2 == 0) {
        p.drawLine(QPointF(80, 330), QPointF(72, 400));
        p.drawLine(QPointF(140, 330), QPointF(148, 400));
    }
    // Wheel slot and wheel.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x05, 0x06, 0x08));
    p.drawRoundedRect(QRectF(100, 120, 21, 86), 9, 9);
    QLinearGradient wheel(0, 124, 0, 202);
    wheel.setColorAt(0, QColor(0x3A, 0x44, 0x52));
    wheel.setColorAt(0.5, QColor(0x7A, 0x88, 0x9A));
    wheel.setColorAt(1, QColor(0x3A, 0x44, 0x52));
    p.setBrush(wheel);
    p.drawRoundedRect(QRectF(104, 124, 13, 78), 6, 6);
    p.setPen(QPen(QColor(0x1A, 0x1F, 0x26), 1));
    for (int y = 130; y < 200; y += 5) p.drawLine(QPointF(105, y), QPointF(116, y));
    // Side buttons on the left flank.
    p.setPen(QPen(QColor(0x4A, 0x57, 0x66), 1));
    p.setBrush(QColor(0x2A, 0x31, 0x3B));
    p.drawRoundedRect(QRectF(26, 207, 26, 30), 6, 6);
    p.drawRoundedRect(QRectF(30, 243, 26, 30), 6, 6);
    // Model lettering.
    p.setFont(Font(13, QFont::Black, true));
    p.setPen(QColor(0xE8, 0xEE, 0xF6, 200));
    p.drawText(QRect(60, 434, 100, 20), Qt::AlignCenter,
               QString::fromUtf8(qx::skin::kModels[model].data(), 5));

    // Hot spots.
    for (const auto& r : L::mouse_picture::kHotSpots[model]) {
        const QRectF spot = QRectF(R(r)).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal rad = std::min(spot.width(), spot.height()) / 2;
        if (s == kNormal) {
            p.setPen(QPen(QColor(0x8C, 0x9A, 0xAD, 90), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
        } else {
            const QColor c = s == kOver ? colour::kCyan : colour::kGold;
            QRadialGradient g(spot.center(), std::max(spot.width(), spot.height()) / 1.4);
            g.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 230));
            g.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 40));
            p.setBrush(g);
            p.setPen(QPen(c.lighter(130), 1.5));
        }
        p.drawRoundedRect(spot, rad, rad);
    }
    return img;
}

// --- per-button editor ---------------------------------------------------------

static void Frame(QPainter& p, const QRect& area) {
    Background(p, area);
    TitleBar(p, QRect(0, 0, area.width(), 34));
    p.setPen(QPen(QColor(0x2E, 0x3A, 0x48), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}

QImage EditorFrame(State s) {
    namespace E = L::editor;
    QImage img = NewPicture(E::kFrameSize.width, E::kFrameSize.height);
    QPainter p(&img);
    Frame(p, img.rect());
    // The panel title is lettered in 0x585F69: give it a pale strip.
    QLinearGradient strip(0, 0, 0, 18);
    strip.setColorAt(0, QColor(0xE6, 0xEA, 0xEF));
    strip.setColorAt(1, QColor(0xB9, 0xC2, 0xCC));
    p.fillRect(QRect(1, 1, img.width() - 2, 18), strip);
    p.fillRect(QRect(1, 19, img.width() - 2, 1), colour::kCyan);
    CloseGlyph(p, R(E::kClose), s);
    for (const auto& t : E::kTabs) Plate(p, R(t).adjusted(1, 1, -1, 0), s, {}, 11, 2);
    const QRect well(E::kTabOrigin.x - 3, E::kTabOrigin.y - 3, E::kTabSize.width + 6,
                     E::kTabSize.height + 6);
    Inset(p, well);
    CheckBox(p, R(E::kDisableBox), s);
    Plate(p, R(E::kDefaultButton), s);
    Plate(p, R(E::kOkButton), s);
    return img;
}

static QImage TabBase() {
    QImage img = NewPicture(L::editor::kTabSize.width, L::editor::kTabSize.height);
    img.fill(QColor(0x0F, 0x0F, 0x0F));
    return img;
}

QImage ComboTab(State s) {
    namespace E = L::editor;
    QImage img = TabBase();
    QPainter p(&img);
    Background(p, img.rect());
    const char* names[4] = {"Ctrl", "Alt", "Shift", "Win"};
    for (int i = 0; i < 4; ++i) {
        CheckBox(p, R(E::kModifierBoxes[i]), s);
        const QRect b = R(E::kModifierBoxes[i]);
        Label(p, QRect(b.right() + 8, b.top() - 3, 60, b.height() + 6), names[i], 11,
              colour::kHeading);
    }
    Label(p, QRect(130, 60, 30, 60), "+", 20, colour::kCyan, Qt::AlignCenter);
    Label(p, QRect(170, 48, 190, 24), QString::fromUtf8("Press a key  ·  请按下按键"), 10);
    Inset(p, R(E::kCapturedKey).adjusted(-6, -4, 20, 4));
    return img;
}

QImage MacroTab(State) {
    QImage img = TabBase();
    QPainter p(&img);
    Inset(p, R(L::editor::kCategoryList).adjusted(-1, -1, 1, 1));
    Inset(p, R(L::editor::kMacroList).adjusted(-1, -1, 1, 1));
    return img;
}

QImage BaseTab(State) {
    QImage img = TabBase();
    QPainter p(&img);
    Inset(p, img.rect());
    return img;
}

QImage AdvancedTab(State s) {
    QImage img = TabBase();
    QPainter p(&img);
    Background(p, img.rect());
    Label(p, QRect(21, 6, 330, 20), QString::fromUtf8("SOFTWARE FUNCTION  ·  软件功能"), 10,
          colour::kHeading);
    for (const auto& row : L::editor::kAdvancedRows) {
        Option(p, R(row.choice).adjusted(-2, -2, 2, 2), s, {}, 11, true);
        Inset(p, R(row.path).adjusted(-3, -2, 3, 2));
        Plate(p, R(row.browse), s);  // the window letters it with str_browse
    }
    return img;
}

// --- message boxes, model chooser, progress --------------------------------------

static void InfoIcon(QPainter& p, const QPointF& c, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(c, 24);
    g.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), 70));
    g.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 24, 24);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 2));
    p.drawEllipse(c, 16, 16);
    p.setFont(Font(20, QFont::Black));
    p.drawText(QRectF(c.x() - 16, c.y() - 16, 32, 32), Qt::AlignCenter, "i");
    p.restore();
}

// The message box is a light card: its lettering colour (0x536167) is meant
// for a pale ground, and a pale box stands out over the dark windows.
static void LightPlate(QPainter& p, const QRect& area, State s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    if (s == kNormal) {
        g.setColorAt(0, QColor(0xF7, 0xF9, 0xFB));
        g.setColorAt(1, QColor(0xD9, 0xDF, 0xE6));
        p.setPen(QPen(QColor(0x9A, 0xA6, 0xB2), 1));
    } else if (s == kOver) {
        g.setColorAt(0, QColor(0x3C, 0xD2, 0xF5));
        g.setColorAt(1, QColor(0x00, 0x93, 0xD1));
        p.setPen(QPen(QColor(0x00, 0x6E, 0x9A), 1));
    } else {
        g.setColorAt(0, QColor(0x00, 0x6E, 0x9A));
        g.setColorAt(1, QColor(0x00, 0x4E, 0x70));
        p.setPen(QPen(QColor(0x00, 0x3A, 0x55), 1));
    }
    p.setBrush(g);
    p.drawRoundedRect(box, 3, 3);
    p.restore();
}

QImage InfoBox(State s, bool withCancel) {
    namespace I = L::info_box;
    QImage img = NewPicture(I::kSize.width, I::kSize.height);
    QPainter p(&img);
    QLinearGradient body(0, 0, 0, img.height());
    body.setColorAt(0, QColor(0xEE, 0xF1, 0xF5));
    body.setColorAt(1, QColor(0xD3, 0xDA, 0xE2));
    p.fillRect(img.rect(), body);
    // Title strip with the accent rule.
    QLinearGradient strip(0, 0, 0, 31);
    strip.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    strip.setColorAt(1, QColor(0xE2, 0xE7, 0xEC));
    p.fillRect(QRect(0, 0, img.width(), 31), strip);
    QLinearGradient rule(0, 0, img.width(), 0);
    rule.setColorAt(0, colour::kCyan);
    rule.setColorAt(0.7, QColor(0x19, 0xC3, 0xEE, 80));
    rule.setColorAt(1, colour::kGold);
    p.fillRect(QRect(0, 31, img.width(), 2), rule);
    p.setPen(QPen(QColor(0x2E, 0x3A, 0x48), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(img.rect().adjusted(0, 0, -1, -1));
    {
        const QRect c = R(I::kClose);
        p.setRenderHint(QPainter::Antialiasing);
        if (s != kNormal) {
            p.setPen(Qt::NoPen);
            p.setBrush(s == kOver ? QColor(0xD8, 0x3C, 0x46) : QColor(0x9A, 0x22, 0x2A));
            p.drawRoundedRect(QRectF(c).adjusted(3, 3, -3, -3), 3, 3);
        }
        const QPointF m = QRectF(c).center();
        p.setPen(QPen(s == kNormal ? QColor(0x53, 0x61, 0x67) : Qt::white, 1.8, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(m + QPointF(-5, -5), m + QPointF(5, 5));
        p.drawLine(m + QPointF(-5, 5), m + QPointF(5, -5));
    }
    InfoIcon(p, QPointF(48, 82), QColor(0x00, 0x93, 0xD1));
    p.fillRect(QRect(12, 118, img.width() - 24, 1), QColor(0xB8, 0xC2, 0xCC));
    if (withCancel) {
        LightPlate(p, R(I::kOkWithCancel), s);
        LightPlate(p, R(I::kCancel), s);
    } else {
        LightPlate(p, R(I::kOkAlone), s);
    }
    return img;
}

QImage ModelChooser(State s) {
    namespace M = L::model_chooser;
    QImage img = NewPicture(M::kSize.width, M::kSize.height);
    QPainter p(&img);
    Frame(p, img.rect());
    CloseGlyph(p, R(M::kClose), s);
    // A small mouse silhouette as the chooser's emblem.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour::kCyan, 2));
    p.setBrush(QColor(0x19, 0xC3, 0xEE, 30));
    p.drawRoundedRect(QRectF(32, 62, 30, 44), 14, 14);
    p.drawLine(QPointF(47, 62), QPointF(47, 78));
    Plate(p, R(M::kSelector), s, {}, 11, 2);
    ArrowGlyph(p, QRect(M::kSelector.right - 18, M::kSelector.top, 14, M::kSelector.Height()),
               false, s == kDown ? colour::kDarkText : colour::kCyan);
    p.fillRect(QRect(12, 118, img.width() - 24, 1), QColor(0x24, 0x2D, 0x38));
    Plate(p, R(M::kOk), s);
    return img;
}

QImage ProgressPicture(bool filled) {
    namespace P = L::progress_window;
    QImage img(P::kSize.width, P::kSize.height, QImage::Format_ARGB32_Premultiplied);
    img.fill(colour::kBackground);
    QPainter p(&img);
    Frame(p, img.rect());
    p.fillRect(QRect(0, 0, img.width(), 34), QColor(0x0E, 0x11, 0x16));
    p.fillRect(QRect(0, 12, 6, 12), colour::kCyan);
    const QRect bar = R(P::kBar);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2A, 0x33, 0x3E), 1));
    p.setBrush(colour::kInset);
    p.drawRoundedRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    if (filled) {
        QLinearGradient g(bar.topLeft(), bar.topRight());
        g.setColorAt(0, colour::kCyanDeep);
        g.setColorAt(0.55, colour::kCyan);
        g.setColorAt(1, colour::kGold);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(bar).adjusted(1, 1, -1, -1), 2, 2);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(QRectF(bar.left() + 2, bar.top() + 2, bar.width() - 4, 2));
    }
    return img;
}

}  // namespace artgen
