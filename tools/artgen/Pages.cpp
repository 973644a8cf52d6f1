// The pages whose pictures exist once for both languages: macro, lighting,
// trophies and support. Their headings carry both lettering languages.
#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "lighting/LightingLayout.h"
#include "tools/artgen/Pictures.h"

namespace artgen {

namespace L = qx::layout;

static QString U(const char* text) {
    return QString::fromUtf8(text);
}

static void IconButton(QPainter& p, const QRect& area, State s, const QString& glyph,
                       int size = 14) {
    Plate(p, area, s, {}, 11, 3);
    Label(p, area, glyph, size,
          s == kDown ? colour::kDarkText : (s == kOver ? Qt::white : colour::kCyan),
          Qt::AlignCenter);
}

static QImage PageBase() {
    QImage img = NewPicture(L::macro_page::kSize.width, L::macro_page::kSize.height);
    QPainter p(&img);
    Background(p, img.rect());
    return img;
}

QImage MacroPage(State s) {
    namespace M = L::macro_page;
    QImage img = PageBase();
    QPainter p(&img);
    Panel(p, QRect(10, 8, 326, 440));
    Panel(p, QRect(334, 8, 300, 440));
    Panel(p, QRect(636, 8, 282, 440));
    Heading(p, R(M::kMacroListLabel).adjusted(0, 0, 120, 0), U("MACROS  ·  宏列表"), 12);
    Heading(p, R(M::kEventListLabel).adjusted(0, 0, 150, 0), U("EVENTS  ·  事件"), 12);
    Plate(p, R(M::kCategoryButton), s, {}, 11, 2);
    ArrowGlyph(p,
               QRect(M::kCategoryButton.right - 22, M::kCategoryButton.top, 16,
                     M::kCategoryButton.Height()),
               false, s == kDown ? colour::kDarkText : colour::kCyan);
    Inset(p, R(M::kMacroListFrame).adjusted(-1, -1, 1, 1));
    Inset(p, R(M::kEventListFrame).adjusted(-1, -1, 1, 1));
    IconButton(p, R(M::kNewMacro), s, "+", 18);
    IconButton(p, R(M::kDeleteMacro), s, U("✕"), 13);
    IconButton(p, R(M::kImport), s, U("⇩"), 15);
    IconButton(p, R(M::kExport), s, U("⇧"), 15);
    IconButton(p, R(M::kInsert), s, "+", 16);
    IconButton(p, R(M::kDeleteEvent), s, U("−"), 16);
    IconButton(p, R(M::kModify), s, U("✎"), 13);

    // Recorder controls.
    Label(p, QRect(648, 24, 130, 26), U("RECORDER · 录制"), 11, colour::kHeading);
    Plate(p, R(M::kRecord), s, {}, 11, 4);
    {
        const QRect r = R(M::kRecord);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(s == kDown ? QColor(0x8A, 0x10, 0x10) : QColor(0xE0, 0x30, 0x3A));
        p.drawEllipse(QPointF(r.left() + 8, r.center().y() + 0.5), 4, 4);
    }
    Option(p, R(M::kDelaySwitch), s, U("Ignore delays  ·  忽略延时"), 11);
    Option(p, R(M::kLoopCount), s, U("Loop  循环"), 10, true);
    Label(p, QRect(740, 86, 108, 18), U("times · 次数"), 10, colour::kText,
          Qt::AlignRight | Qt::AlignVCenter);
    Inset(p, R(M::kLoopCountEdit).adjusted(-2, -2, 2, 2));
    Option(p, R(M::kLoopWhileHeld).adjusted(0, 0, 0, -18), s, U("Repeat while held · 按住时循环"),
           10, true);
    Option(p, R(M::kLoopToggle), s, U("Toggle · 切换"), 10, true);

    // Mouse-button pickers on a small mouse.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath mini;
    mini.addRoundedRect(QRectF(708, 196, 126, 120), 50, 50);
    p.fillPath(mini, QColor(0x1B, 0x20, 0x28));
    p.setPen(QPen(QColor(0x19, 0xC3, 0xEE, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mini);
    Label(p, QRect(646, 170, 260, 20), U("Insert mouse click · 插入鼠标按键"), 10, colour::kText);
    for (const L::Rect& b : {M::kPickerLeft, M::kPickerMiddle, M::kPickerRight})
        Plate(p, R(b), s, {}, 11, 6);

    // Event editors (shown when an event is chosen).
    p.fillRect(QRect(646, 326, 262, 1), QColor(0x24, 0x2D, 0x38));
    Option(p, R(M::kKeyType), s, U("Key  按键"), 10, true);
    Inset(p, R(M::kKeyEdit).adjusted(-2, -3, 2, 3));
    Plate(p, R(M::kKeyOk), s, "OK", 9);
    Option(p, R(M::kDelayType), s, U("Delay (ms)  延时"), 10, true);
    Inset(p, R(M::kDelayEdit).adjusted(-2, -3, 2, 3));
    Plate(p, R(M::kDelayOk), s, "OK", 9);
    Option(p, R(M::kPositionType).adjusted(0, 0, -140, 0), s, U("Position  坐标"), 10, true);
    Label(p, QRect(652, 418, 30, 19), "X", 11, colour::kHeading, Qt::AlignCenter);
    Inset(p, R(M::kXEdit));
    Label(p, QRect(748, 418, 30, 19), "Y", 11, colour::kHeading, Qt::AlignCenter);
    Inset(p, R(M::kYEdit));
    for (const L::Rect& b : {M::kXUp, M::kYUp}) {
        Plate(p, R(b), s, {}, 8, 2);
        ArrowGlyph(p, R(b), true, s == kDown ? colour::kDarkText : colour::kCyan);
    }
    for (const L::Rect& b : {M::kXDown, M::kYDown}) {
        Plate(p, R(b), s, {}, 8, 2);
        ArrowGlyph(p, R(b), false, s == kDown ? colour::kDarkText : colour::kCyan);
    }
    Plate(p, R(M::kPositionOk), s, "OK", 9);
    return img;
}

static void ColourWheel(QPainter& p, const QRect& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QConicalGradient hue(QRectF(box).center(), 0);
    for (int i = 0; i <= 12; ++i)
        hue.setColorAt(i / 12.0, QColor::fromHsv((i * 30) % 360, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(hue);
    p.drawEllipse(box);
    QRadialGradient white(QRectF(box).center(), box.width() / 2.0);
    white.setColorAt(0, QColor(255, 255, 255, 255));
    white.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(white);
    p.drawEllipse(box);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x24, 0x2D, 0x38), 2));
    p.drawEllipse(QRectF(box).adjusted(-2, -2, 2, 2));
    p.restore();
}

// Lettering of one placement: the English pictures carry English, the
// Chinese ones (their own control rectangles) Chinese.
struct LightingWords {
    const char *mode, *body, *bodyNote, *colour, *presets, *mixer;
    const char *mode4, *mode3, *mode6, *mode2, *mode1, *mode5, *own;
    const char *speed, *brightness, *on, *off, *current;
};
constexpr LightingWords kLightingEnglish{"LIGHT MODE",
                                         "BODY LIGHT",
                                         "Lights the body when your hand comes near",
                                         "COLOUR",
                                         "PRESETS",
                                         "MIXER",
                                         "Spectrum cycle",
                                         "Breathing spectrum",
                                         "Off",
                                         "Breathing",
                                         "Steady",
                                         "Colour cycle",
                                         "Own colours",
                                         "Speed",
                                         "Brightness",
                                         "On",
                                         "Off",
                                         "\u2190 current colour"};
constexpr LightingWords kLightingChinese{"灯效模式", "感应灯",   "手靠近时点亮机身", "颜色", "预设",
                                         "调色",     "光谱循环", "光谱呼吸",         "关闭", "呼吸",
                                         "常亮",     "色彩循环", "自定义",           "速度", "亮度",
                                         "开",       "关",       "\u2190 当前颜色"};

QImage LightingPage(State s, bool chinese) {
    namespace G = L::lighting_page;
    namespace C = qx::lighting;
    const LightingWords& w = chinese ? kLightingChinese : kLightingEnglish;
    auto rect = [chinese](C::Control c) { return R(C::kControls[c].Rect(chinese)); };
    QImage img = PageBase();
    QPainter p(&img);
    // Chinese puts the body light higher, into the space of the mode panel.
    const int firstPanelEnd = chinese ? 142 : 158;
    Panel(p, QRect(10, 6, 905, firstPanelEnd - 6));
    Panel(p, QRect(10, firstPanelEnd + 2, 905, 238 - firstPanelEnd - 2));
    Panel(p, QRect(10, 240, 905, 206));
    Heading(p, rect(C::kModeLabel), U(w.mode), 12);
    Heading(p, rect(C::kBodyLightLabel), U(w.body), 12);
    Label(p, rect(C::kBodyLightTextLabel).adjusted(6, 0, 0, 0), U(w.bodyNote), chinese ? 11 : 10,
          QColor(0x5E, 0x6B, 0x7B));
    Heading(p, rect(C::kColourLabel), U(w.colour), 12);
    Heading(p, rect(C::kPresetsLabel), U(w.presets), 11);
    Heading(p, rect(C::kMixerLabel), U(w.mixer), 12);
    const int optionSize = chinese ? 12 : 11;
    Option(p, rect(C::kMode4Button), s, U(w.mode4), optionSize, true);
    Option(p, rect(C::kMode3Button), s, U(w.mode3), optionSize, true);
    Option(p, rect(C::kMode6Button), s, U(w.mode6), optionSize, true);
    Option(p, rect(C::kMode2Button), s, U(w.mode2), optionSize, true);
    Option(p, rect(C::kMode1Button), s, U(w.mode1), optionSize, true);
    Option(p, rect(C::kMode5Button), s, U(w.mode5), optionSize, true);
    Option(p, rect(C::kOwnColoursButton), s, U(w.own), optionSize);
    // Each speed slider has its name just left of it.
    auto sliderName = [&](C::Control c, const char* text) {
        const QRect r = rect(c);
        Label(p, QRect(r.left() - 130, r.center().y() - 10, 124, 20), U(text), chinese ? 11 : 10,
              colour::kText, Qt::AlignRight | Qt::AlignVCenter);
    };
    sliderName(C::kBreathingSpeedSlider, w.speed);
    sliderName(C::kBrightnessSlider, w.brightness);
    if (chinese) {
        sliderName(C::kMode5SpeedSlider, w.speed);
    } else {
        const QRect r = rect(C::kMode5SpeedSlider);
        Label(p, QRect(r.left() - 88, r.center().y() - 10, 84, 20), U(w.speed), 10, colour::kText,
              Qt::AlignRight | Qt::AlignVCenter);
    }
    SliderTrack(p, rect(C::kBreathingSpeedSlider));
    SliderTrack(p, rect(C::kBrightnessSlider), colour::kGoldDeep, colour::kGold);
    SliderTrack(p, rect(C::kMode5SpeedSlider));
    for (C::Control sw : {C::kSlot0Swatch, C::kSlot1Swatch, C::kSlot2Swatch})
        Inset(p, rect(sw).adjusted(-2, -2, 2, 2));
    Option(p, rect(C::kBodyOnButton), s, U(w.on), optionSize, true);
    Option(p, rect(C::kBodyOffButton), s, U(w.off), optionSize, true);
    const QRect slot3 = rect(C::kSlot3Swatch);
    Inset(p, slot3.adjusted(-2, -2, 2, 2));
    Label(p, QRect(slot3.right() + 6, slot3.top(), 200, slot3.height()), U(w.current),
          chinese ? 11 : 10, QColor(0x5E, 0x6B, 0x7B));

    for (int n = 0; n < G::kPresetCount; ++n) {
        const QRect r = R(G::PresetRect(n, chinese));
        const auto& c = G::kPresetColours[n];
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        if (s != kNormal) {
            p.setBrush(s == kOver ? colour::kCyan : colour::kGold);
            p.drawRoundedRect(QRectF(r).adjusted(-2, -2, 2, 2), 5, 5);
        }
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        const QColor base(c.r, c.g, c.b);
        g.setColorAt(0, base.lighter(120));
        g.setColorAt(1, base.darker(115));
        p.setBrush(g);
        p.setPen(QPen(QColor(0, 0, 0, 160), 1));
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        if (s == kDown) {
            p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
            const QPointF o = r.topLeft();
            p.drawPolyline(QPolygonF{o + QPointF(8, 12), o + QPointF(12, 16), o + QPointF(20, 8)});
        }
    }
    const char* names[3] = {"R", "G", "B"};
    const QColor ends[3] = {QColor(255, 40, 40), QColor(40, 230, 60), QColor(40, 90, 255)};
    const C::Control sliders[3] = {C::kRedSlider, C::kGreenSlider, C::kBlueSlider};
    const C::Control values[3] = {C::kRedValue, C::kGreenValue, C::kBlueValue};
    for (int i = 0; i < 3; ++i) {
        const QRect sr = rect(sliders[i]);
        Label(p, QRect(sr.left() - 26, sr.center().y() - 9, 20, 18), names[i], 12, ends[i],
              Qt::AlignCenter);
        // The thumb stops short of the right end; so does the colour.
        SliderTrack(p, sr.adjusted(0, 0, -G::kColourTrackShortening, 0), QColor(30, 30, 30),
                    ends[i]);
        Inset(p, rect(values[i]).adjusted(-3, -2, 3, 2));
    }
    ColourWheel(p, R(G::kColourWheel));
    return img;
}

QImage TrophiesPage(State s, bool chinese) {
    namespace T = L::trophies_page;
    QImage img = PageBase();
    QPainter p(&img);
    Panel(p, QRect(10, 8, 292, 440));
    Panel(p, QRect(616, 8, 300, 440));
    Heading(p, QRect(26, 22, 260, 24), chinese ? U("使用统计") : U("USAGE"), 12);
    Heading(p, QRect(632, 22, 270, 24), chinese ? U("荣誉等级") : U("TROPHY LEVEL"), 12);
    const char* english[8] = {"Left clicks", "Middle clicks", "Right clicks", "Total",
                              "Wheel up",    "Wheel down",    "Wheel total",  "Travel (10k px)"};
    const char* chineseLabels[8] = {"左键点击", "中键点击", "右键点击", "按键合计",
                                    "滚轮向上", "滚轮向下", "滚轮合计", "移动距离 (万像素)"};
    for (int i = 0; i < 8; ++i) {
        // The page right-aligns each value in its rectangle; the box leaves a
        // margin on both sides of it.
        const QRect value = R(T::ValueRect(i, chinese)).adjusted(-6, 0, 6, 0);
        const QRect label(T::kLabelLeft, value.top(), value.left() - T::kLabelLeft - 4,
                          value.height());
        Label(p, label, U(chinese ? chineseLabels[i] : english[i]), chinese ? 12 : 10,
              i == 3 || i == 6 ? colour::kHeading : colour::kText);
        Inset(p, value);
    }
    p.fillRect(QRect(26, 228, 264, 1), QColor(0x24, 0x2D, 0x38));
    p.fillRect(QRect(26, 362, 264, 1), QColor(0x24, 0x2D, 0x38));
    // Level bar: empty groove at rest; the pressed picture holds the full bar.
    const QRect bar = R(T::kLevelBarFull);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2A, 0x33, 0x3E), 1));
    p.setBrush(colour::kInset);
    p.drawRoundedRect(QRectF(bar).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
    if (s != kNormal) {
        QLinearGradient g(bar.topLeft(), bar.topRight());
        g.setColorAt(0, s == kDown ? colour::kGoldDeep : colour::kCyanDeep);
        g.setColorAt(1, s == kDown ? QColor(0xFF, 0xE0, 0x8A) : colour::kCyan);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(bar);
    }
    for (int i = 0; i < T::kLevels; ++i) {
        const QRectF lamp = QRectF(R(T::LampRect(i))).adjusted(4, 2, -4, -6);
        const QPointF c = lamp.center();
        const qreal rad = std::min(lamp.width(), lamp.height()) / 2;
        if (s == kDown) {
            QRadialGradient g(c, rad);
            g.setColorAt(0, QColor(0xFF, 0xF0, 0xB0));
            g.setColorAt(0.6, colour::kGold);
            g.setColorAt(1, QColor(0xB9, 0x7A, 0x12, 60));
            p.setBrush(g);
            p.setPen(QPen(QColor(0xFF, 0xE6, 0xA8), 1));
        } else {
            p.setBrush(QColor(0x16, 0x1B, 0x22));
            p.setPen(QPen(s == kOver ? colour::kCyan : QColor(0x34, 0x3E, 0x4A), 1));
        }
        p.drawEllipse(c, rad, rad);
        p.setFont(Font(12, QFont::Bold));
        p.setPen(s == kDown ? colour::kDarkText : colour::kText);
        p.drawText(QRectF(c.x() - rad, c.y() - rad, 2 * rad, 2 * rad), Qt::AlignCenter,
                   QString::number(i));
    }
    Plate(p, R(T::kReset), s, chinese ? U("重置统计") : U("RESET"), chinese ? 12 : 11, 4);
    return img;
}

QImage TrophyPicture(int level) {
    namespace T = L::trophies_page;
    QImage img = NewPicture(T::kTrophyPicture.width, T::kTrophyPicture.height);
    QPainter p(&img);
    Background(p, img.rect());
    p.setRenderHint(QPainter::Antialiasing);
    // Metal by tier: bronze, silver, gold, then cyan crystal at the top.
    QColor metal = level >= 12  ? QColor(0x6E, 0xE6, 0xFF)
                   : level >= 8 ? QColor(0xF0, 0xB8, 0x3C)
                   : level >= 4 ? QColor(0xC8, 0xD0, 0xDA)
                                : QColor(0xC0, 0x7A, 0x44);
    const qreal cx = img.width() / 2.0;
    QRadialGradient halo(QPointF(cx, 170), 150);
    halo.setColorAt(
        0, QColor(metal.red(), metal.green(), metal.blue(), level == 0 ? 20 : 40 + level * 6));
    halo.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(img.rect(), halo);
    if (level == 0) metal = QColor(0x3A, 0x44, 0x52);
    QLinearGradient shine(cx - 80, 0, cx + 80, 0);
    shine.setColorAt(0, metal.darker(180));
    shine.setColorAt(0.35, metal.lighter(130));
    shine.setColorAt(0.55, metal);
    shine.setColorAt(1, metal.darker(200));
    // Cup.
    QPainterPath cup;
    cup.moveTo(cx - 78, 70);
    cup.lineTo(cx + 78, 70);
    cup.cubicTo(cx + 78, 170, cx + 40, 220, cx + 12, 232);
    cup.lineTo(cx + 12, 280);
    cup.lineTo(cx - 12, 280);
    cup.lineTo(cx - 12, 232);
    cup.cubicTo(cx - 40, 220, cx - 78, 170, cx - 78, 70);
    p.setPen(QPen(metal.darker(220), 2));
    p.setBrush(shine);
    p.drawPath(cup);
    // Handles.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(shine), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(cx - 120, 86, 70, 80), 90 * 16, 180 * 16);
    p.drawArc(QRectF(cx + 50, 86, 70, 80), -90 * 16, 180 * 16);
    // Base.
    p.setPen(QPen(metal.darker(220), 2));
    p.setBrush(shine);
    p.drawRoundedRect(QRectF(cx - 50, 278, 100, 22), 4, 4);
    p.setBrush(QColor(0x1A, 0x1F, 0x26));
    p.drawRoundedRect(QRectF(cx - 72, 300, 144, 42), 5, 5);
    p.setFont(Font(22, QFont::Black));
    p.setPen(metal.lighter(110));
    p.drawText(QRectF(cx - 72, 300, 144, 42), Qt::AlignCenter, QString("LV %1").arg(level));
    // Stars for the level inside the tier.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < level; ++i) {
        const qreal x = cx - (level - 1) * 9 + i * 18;
        QPainterPath star;
        for (int k = 0; k < 10; ++k) {
            const qreal a = -M_PI / 2 + k * M_PI / 5;
            const qreal r = k % 2 ? 3.2 : 7.5;
            const QPointF pt(x + r * std::cos(a), 372 + r * std::sin(a));
            k ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        p.fillPath(star, metal);
    }
    p.setFont(Font(12, QFont::DemiBold));
    p.setPen(colour::kText);
    const char* tier = level == 0    ? "No trophy yet · 暂无奖杯"
                       : level >= 12 ? "Legend · 传奇"
                       : level >= 8  ? "Gold · 黄金"
                       : level >= 4  ? "Silver · 白银"
                                     : "Bronze · 青铜";
    p.drawText(QRectF(0, 396, img.width(), 30), Qt::AlignCenter, U(tier));
    return img;
}

QImage SupportPage(State s) {
    namespace P = L::support_page;
    QImage img = PageBase();
    QPainter p(&img);
    Panel(p, QRect(40, 70, 560, 240));
    Panel(p, QRect(40, 330, 420, 110));
    Panel(p, QRect(620, 70, 270, 240));
    Panel(p, QRect(620, 330, 270, 110));
    Heading(p, QRect(56, 28, 400, 30), U("SUPPORT  ·  技术支持"), 16);
    Heading(p, R(P::kDriverLabel), U("Driver version · 驱动版本"), 12);
    Heading(p, R(P::kFirmwareLabel), U("Firmware · 固件版本"), 12);
    Inset(p, QRect(118, 162, 140, 36));
    Inset(p, QRect(432, 162, 140, 36));
    Label(p, QRect(60, 220, 330, 40),
          U("Check the server for a newer firmware\n检查服务器上的新固件"), 10,
          QColor(0x5E, 0x6B, 0x7B));
    Plate(p, R(P::kUpdate), s, U("UPDATE · 更新"), 11, 4);
    Label(p, QRect(636, 110, 240, 120),
          U("Drivers, manuals and news\non the Orvik web "
            "site\n\n访问官方网站获取\n驱动、说明书与资讯"),
          10, colour::kText);
    Plate(p, R(P::kWebSite), s, U("WEB SITE · 官网"), 11, 4);
    Heading(p, QRect(56, 344, 380, 24), U("PROFILE FILE · 配置文件"), 12);
    Plate(p, R(P::kImport), s, U("IMPORT 导入"), 10, 4);
    Plate(p, R(P::kExport), s, U("EXPORT 导出"), 10, 4);
    Heading(p, QRect(636, 344, 240, 24), U("DEFAULTS · 恢复默认"), 12);
    Plate(p, R(P::kRestore), s, U("RESTORE 恢复"), 10, 4);
    return img;
}

}  // namespace artgen
