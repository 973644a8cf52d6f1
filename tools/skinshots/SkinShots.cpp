// qx-skinshots OUT_DIR [APP_DIR]: renders every window and control state of
// the skin offscreen into OUT_DIR, one PNG per window and state, so the whole
// look can be reviewed at once. APP_DIR defaults to the installation folder
// this program was built for.
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "base/MenuLibrary.h"
#include "i18n/LanguageTable.h"
#include "support/DlgProgress.h"
#include "ui/BitmapEdit.h"
#include "ui/ColorBtn.h"
#include "ui/DlgInfo.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/ListBoxEx.h"
#include "ui/MenuEx.h"
#include "ui/PngHProgressBar.h"
#include "ui/PngHSlider.h"
#include "ui/SkinPicture.h"
#include "ui/SkinScrollBar.h"
#include "ui/layout/SkinFiles.h"
#include "ui/layout/SkinLayout.h"

namespace {

namespace L = qx::layout;
namespace skin = qx::skin;
using qx::ui::ShellDlgFont;
using qx::ui::ToQRect;

std::filesystem::path appDir;
QString outDir;
int written = 0;

const char* kStates[3] = {"normal", "over", "down"};

void Out(const QString& name, const QImage& image) {
    if (image.save(outDir + "/" + name + ".png"))
        ++written;
    else
        std::fprintf(stderr, "qx-skinshots: cannot write %s\n", qPrintable(name));
}

QImage Pic(std::string_view relative) {
    return qx::ui::LoadSkinPicture(qx::ui::SkinPath(appDir, relative)).image;
}

QImage Res(int number) {
    return qx::ui::LoadResourcePicture(number).image;
}

void Text(QPainter& p, const QRect& r, const QString& text, QColor c, int size = 14,
          int weight = 300, int flags = Qt::AlignLeft | Qt::AlignVCenter) {
    p.setFont(ShellDlgFont(size, weight));
    p.setPen(c);
    p.drawText(r, flags | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
}

QString U(const char* s) {
    return QString::fromUtf8(s);
}

// Mouse picture of a model in a state: what CMouseDlg shows.
QImage Mouse(int model, int state) {
    return qx::ui::LoadSkinPicture(appDir / "skins" / std::string(skin::kModels[model]) /
                                   std::string(skin::kMouse[state]))
        .image;
}

QImage SettingsComposite(bool chinese, int state) {
    const int base = chinese ? skin::kSettingsChineseNormal : skin::kSettingsEnglishNormal;
    const int numbers[2][3] = {{161, 162, 160}, {164, 165, 163}};
    QImage page = Res(numbers[chinese ? 0 : 1][state]);
    (void)base;
    QPainter p(&page);
    // The lines box text, drawn by the page's edit.
    const QRect lines = ToQRect(L::settings_page::kLinesEdit[chinese ? 0 : 1]);
    Text(p, lines, "3", QColor(0x58, 0x5F, 0x67), 14, 400, Qt::AlignCenter);
    // Slider thumbs where the page would place them.
    const QImage thumb = Pic("skins/Slider.png");
    for (const auto& r :
         {L::settings_page::kPointerSpeedSlider, L::settings_page::kSensorHeightSlider}) {
        const QRect q = ToQRect(r);
        p.drawImage(q.left() + q.width() * 5 / 10, q.center().y() - thumb.height() / 2 + 1, thumb);
    }
    return page;
}

void DrawPageTexts(QPainter& p, int pageIndex, const QPoint& at, bool chinese, int level = 6) {
    if (pageIndex == 4) {  // trophies: the counters and the level's trophy
        namespace T = L::trophies_page;
        const char* values[8] = {"182733", "20411", "53208",  "256352",
                                 "90412",  "88127", "178539", "7315.42"};
        for (int i = 0; i < 8; ++i)
            Text(p, ToQRect(T::ValueRect(i, chinese)).translated(at), values[i],
                 QColor(220, 220, 220), 14, 300, Qt::AlignRight | Qt::AlignVCenter);
        const QImage trophy =
            qx::ui::LoadSkinPicture(appDir / "skins" / "trophy" /
                                    ("trophy" + std::to_string(level) + "Down.bmp"))
                .image;
        p.drawImage(at + ToQRect(T::kTrophy).topLeft(), trophy);
        const QImage down = Pic(skin::kTrophies[2]);
        const QRect bar(T::kLevelBarFull.left, T::kLevelBarFull.top, T::LevelBarWidth(level),
                        T::kLevelBarFull.Height());
        p.drawImage(at + bar.topLeft(), down, bar);
        for (int i = 0; i <= level; ++i) {
            const QRect lamp = ToQRect(T::LampRect(i));
            p.drawImage(at + lamp.topLeft(), down, lamp);
        }
    } else if (pageIndex == 5) {  // support: the two versions
        QFont f;
        f.setFamilies({"DejaVu Sans"});
        f.setPointSize(12);
        p.setFont(f);
        p.setPen(QColor(193, 210, 238));
        p.drawText(ToQRect(L::support_page::kDriverVersionBox).translated(at), Qt::AlignLeft,
                   "V1.0.0");
        p.drawText(ToQRect(L::support_page::kFirmwareVersionBox).translated(at), Qt::AlignLeft,
                   "107");
    } else if (pageIndex == 2) {  // lighting: the swatches in their colours
        namespace G = L::lighting_page;
        namespace C = L::lighting_page::chinese;
        const QColor slotColours[4] = {QColor(250, 5, 126), QColor(1, 193, 250),
                                       QColor(249, 237, 0), QColor(1, 193, 250)};
        for (int i = 0; i < 3; ++i)
            p.fillRect(ToQRect(chinese ? C::kSlotSwatches[i] : G::kSlotSwatches[i]).translated(at),
                       slotColours[i]);
        p.fillRect(ToQRect(chinese ? C::kSlot3Swatch : G::kSlot3Swatch).translated(at),
                   slotColours[3]);
        const int values[3] = {1, 193, 250};
        const L::Rect boxes[3] = {G::kRedValue, G::kGreenValue, G::kBlueValue};
        const L::Rect sliders[3] = {chinese ? C::kRedSlider : G::kRedSlider,
                                    chinese ? C::kGreenSlider : G::kGreenSlider,
                                    chinese ? C::kBlueSlider : G::kBlueSlider};
        const QImage thumb = Pic("skins/Slider.png");
        for (int i = 0; i < 3; ++i) {
            Text(p, ToQRect(boxes[i]).translated(at), QString::number(values[i]),
                 QColor(0xC1, 0xD2, 0xEE), 12, 400, Qt::AlignCenter);
            const QRect s = ToQRect(sliders[i]).translated(at);
            p.drawImage(s.left() + (s.width() - 7 - thumb.width()) * values[i] / 255,
                        s.center().y() - thumb.height() / 2 + 1, thumb);
        }
        // Preset 9 is the chosen one: its pressed look from the down picture.
        const QRect preset = ToQRect(G::PresetRect(9, chinese)).adjusted(-3, -3, 3, 3);
        p.drawImage(at + preset.topLeft(),
                    Pic((chinese ? skin::kLightingChinese : skin::kLighting)[2]), preset);
    }
}

QImage MainWindow(bool chinese, int state, int pageIndex) {
    const int numbers[2][3] = {{154, 155, 156}, {157, 158, 159}};
    QImage img = Res(numbers[chinese ? 0 : 1][state]);
    QPainter p(&img);
    const QPoint at = ToQRect(L::main_window::kPages).topLeft();
    if (pageIndex == 1) {
        p.drawImage(at, SettingsComposite(chinese, state));
        p.drawImage(ToQRect(L::main_window::kMousePicture).topLeft(), Mouse(5, state));
    } else {
        const std::string_view* files[6] = {nullptr,
                                            nullptr,
                                            chinese ? skin::kLightingChinese : skin::kLighting,
                                            skin::kMacroPage,
                                            chinese ? skin::kTrophiesChinese : skin::kTrophies,
                                            skin::kSupport};
        p.drawImage(at, Pic(files[pageIndex][state]));
        DrawPageTexts(p, pageIndex, at, chinese);
    }
    if (state == 0) {
        // The selected tab and profile show their pressed look.
        const QImage down = Res(numbers[chinese ? 0 : 1][2]);
        for (const auto* quad :
             {&L::main_window::kTabs[pageIndex - 1], &L::main_window::kProfiles[0]}) {
            QPolygon poly;
            for (const auto& pt : *quad) poly << QPoint(pt.x, pt.y);
            QPainterPath clip;
            clip.addPolygon(QPolygonF(poly));
            p.save();
            p.setClipPath(clip);
            p.drawImage(poly.boundingRect().topLeft(), down, poly.boundingRect());
            p.restore();
        }
    }
    p.drawImage(ToQRect(L::main_window::kLanguageLabel).topLeft(), Res(chinese ? 142 : 143));
    Text(p, ToQRect(L::main_window::kModelName), "QX600", QColor(0x40, 0xC4, 0xDD), 16, 800,
         Qt::AlignCenter);
    Text(p, ToQRect(L::main_window::kHintArea),
         chinese ? U("点击按键标签为该键分配功能")
                 : QString("Click a key tab to give the button a function"),
         QColor(0xBE, 0xBE, 0xBE));
    return img;
}

QImage EditorComposite(int tab, int state) {
    QImage frame = Pic(skin::kEditorFrame[state]);
    QPainter p(&frame);
    const std::string_view* tabs[4] = {skin::kComboTab, skin::kMacroTab, skin::kBaseTab,
                                       skin::kAdvancedTab};
    const QPoint origin(L::editor::kTabOrigin.x, L::editor::kTabOrigin.y);
    p.drawImage(origin, Pic(tabs[tab][state]));
    // The chosen tab shows pressed in every state.
    const QImage down = Pic(skin::kEditorFrame[2]);
    const QRect chosen = ToQRect(L::editor::kTabs[tab]);
    p.drawImage(chosen.topLeft(), down, chosen);
    const char* captions[4] = {"Key combo", "Macro", "Basic", "Advanced"};
    for (int i = 0; i < 4; ++i) {
        const bool isDown = state == 2 || i == tab;
        Text(p, ToQRect(L::editor::kTabs[i]), captions[i],
             isDown ? QColor(0x26, 0x1D, 0x05)
                    : (state == 1 ? QColor(Qt::white) : QColor(0xBD, 0xBD, 0xC8)),
             14, 300, Qt::AlignCenter);
    }
    const QColor btnText = state == 2 ? QColor(0x26, 0x1D, 0x05)
                                      : (state == 1 ? QColor(Qt::white) : QColor(0xBD, 0xBD, 0xC8));
    Text(p, ToQRect(L::editor::kDefaultButton), "Default", btnText, 14, 300, Qt::AlignCenter);
    Text(p, ToQRect(L::editor::kOkButton), "OK", btnText, 14, 300, Qt::AlignCenter);
    Text(p, ToQRect(L::editor::kPanelTitle), "Button settings", QColor(0x58, 0x5F, 0x69), 14, 300,
         Qt::AlignCenter);
    Text(p, ToQRect(L::editor::kCurrentFunction), "Current: Left click", QColor(0xBD, 0xBD, 0xC8));
    Text(p, ToQRect(L::editor::kDisableLabel), "Disable", QColor(0x58, 0x5F, 0x69));
    if (tab == 0)
        Text(p, ToQRect(L::editor::kCapturedKey).translated(origin), "Ctrl + Shift + F5",
             QColor(0x17, 0x94, 0xC3));
    if (tab == 3) {
        const char* labels[4] = {"Play sound", "Run program", "Open file", "Open folder"};
        for (int i = 0; i < 4; ++i) {
            const auto& row = L::editor::kAdvancedRows[i];
            Text(p, ToQRect(row.label).translated(origin), labels[i], QColor(0x58, 0x5F, 0x69), 13);
            if (i == 1)
                Text(p, ToQRect(row.path).translated(origin), "/usr/bin/obs",
                     QColor(0x8C, 0x9A, 0xAD), 12);
        }
    }
    return frame;
}

// A live list of the kinds the editor and the macro page use.
void DrawLists(QPainter& p, const QPoint& at, int tab) {
    QWidget host;
    host.resize(L::editor::kTabSize.width, L::editor::kTabSize.height);
    host.setAttribute(Qt::WA_TranslucentBackground);
    auto style = [](qx::ui::CListBoxEx* list, int height) {
        list->SetItemHeight(height);
        list->SetBackColors(QColor(0x0F, 0x0F, 0x0F), QColor(0x25, 0x25, 0x25));
        list->SetTextColors(QColor(0x53, 0x5C, 0x6B), QColor(0x96, 0x96, 0x96));
    };
    if (tab == 2) {
        auto* list = new qx::ui::CListBoxEx(&host, 101);
        list->setGeometry(ToQRect(L::editor::kBasicList));
        style(list, 18);
        for (const char* f :
             {"Left click", "Right click", "Middle click", "Forward", "Back", "DPI up", "DPI down",
              "DPI cycle", "Play/Pause", "Volume up", "Volume down", "Mute"})
            list->AddString(f);
        list->setCurrentRow(3);
        auto* scroll = new qx::ui::CSkinScrollWnd(&host, list);
        host.show();
        QCoreApplication::processEvents();
        scroll->Sync();
    } else if (tab == 1) {
        auto* cats = new qx::ui::CListBoxEx(&host, 10001);
        cats->setGeometry(ToQRect(L::editor::kCategoryList));
        style(cats, 16);
        for (const char* c : {"Battlefield 3", "Counter-Strike: Global Offensive", "Dota 2",
                              "League of Legends", "Minecraft", "War Thunder", "Customize"})
            cats->AddString(c);
        cats->setCurrentRow(6);
        auto* macros = new qx::ui::CListBoxEx(&host, 10002);
        macros->setGeometry(ToQRect(L::editor::kMacroList));
        style(macros, 16);
        for (const char* m : {"Quick scope", "Bunny hop", "Reload cancel"}) macros->AddString(m);
        macros->setCurrentRow(1);
    } else {
        return;
    }
    p.drawImage(at, host.grab().toImage());
}

QImage Framed(const QImage& inner, int margin = 16) {
    QImage out(inner.width() + 2 * margin, inner.height() + 2 * margin, QImage::Format_RGB32);
    out.fill(QColor(0x30, 0x34, 0x3A));
    QPainter p(&out);
    p.drawImage(margin, margin, inner);
    return out;
}

void InfoBoxes() {
    qx::Localization loc;
    for (int lang = 0; lang < 2; ++lang)
        for (int cancel = 0; cancel < 2; ++cancel)
            for (int state = 0; state < 3; ++state) {
                qx::ui::CDlgInfo box(appDir, lang == 0);
                box.withCancel = cancel;
                box.text = lang == 0 ? u"确定要删除选中的宏吗？"
                                     : u"Do you want to delete the selected macro?";
                box.Initialise();
                for (auto* b : {box.OkButton(), box.CancelButton(), box.CloseButton()}) {
                    if (!b) continue;
                    if (state == 1) {
                        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
                        QApplication::sendEvent(b, &enter);
                    } else if (state == 2) {
                        b->setDown(true);
                    }
                }
                Out(QString("info-%1-%2-%3")
                        .arg(cancel ? "okcancel" : "ok", lang == 0 ? "zh" : "en", kStates[state]),
                    Framed(box.grab().toImage()));
            }
    for (int lang = 0; lang < 2; ++lang) {
        qx::ui::CDlgInfo toast(appDir, lang == 0);
        toast.notice = 1;
        toast.text = lang == 0 ? u"已找到鼠标 QX600。" : u"Mouse QX600 found.";
        toast.Initialise();
        toast.OnTimer(qx::ui::CDlgInfo::kNoticeTimer);
        toast.OnTimer(qx::ui::CDlgInfo::kNoticeTimer);
        Out(QString("toast-%1").arg(lang == 0 ? "zh" : "en"), Framed(toast.grab().toImage()));
    }
    for (int lang = 0; lang < 2; ++lang) {
        loc.chineseMode = lang == 0;
        qx::support::CDlgProgress progress(appDir, loc);
        progress.Initialise();
        progress.SendMessage(qx::kMsgProgress, 60, 0);
        Out(QString("progress-%1").arg(lang == 0 ? "zh" : "en"), Framed(progress.grab().toImage()));
    }
}

void ModelChooser() {
    for (int lang = 0; lang < 2; ++lang)
        for (int state = 0; state < 3; ++state) {
            QImage img = Pic(skin::kModelChooser[state]);
            QPainter p(&img);
            const QColor grey(0xA0, 0xA0, 0xA0);
            const QColor btn = state == 0 ? grey : QColor(Qt::white);
            Text(p, ToQRect(L::model_chooser::kHeading), lang == 0 ? U("提示") : "Tips", grey);
            Text(p, ToQRect(L::model_chooser::kPrompt).adjusted(0, -4, 0, 4),
                 lang == 0 ? U("请选择设备型号：") : "Please select the device model:", grey);
            Text(p, ToQRect(L::model_chooser::kSelector), "QX100", btn, 14, 300, Qt::AlignCenter);
            Text(p, ToQRect(L::model_chooser::kOk), lang == 0 ? U("确定") : "OK", btn, 14, 300,
                 Qt::AlignCenter);
            Out(QString("model-chooser-%1-%2").arg(lang == 0 ? "zh" : "en", kStates[state]),
                Framed(img));
        }
}

void Menus() {
    QWidget owner;
    {
        QPointer<qx::ui::CMenuExA> menu = new qx::ui::CMenuExA(&owner);
        menu->OpenAt(QPoint(0, 0));
        QMouseEvent move(QEvent::MouseMove, menu->ItemRect(1).center(),
                         menu->mapToGlobal(menu->ItemRect(1).center()), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(menu.data(), &move);
        QImage back(menu->width() + 32, menu->height() + 32, QImage::Format_RGB32);
        back.fill(QColor(0x10, 0x13, 0x18));
        QPainter p(&back);
        p.drawImage(16, 16, menu->Compose());
        p.end();
        Out("menu-language", back);
        menu->close();
    }
    {
        qx::ui::CXPMenu tray;
        tray.AddItem(0x6000, "Config", skin::kTrayConfig);
        tray.AddItem(0x6001, "Exit", skin::kTrayExit);
        tray.popup(QPoint(0, 0));
        tray.setActiveAction(tray.actions()[0]);
        Out("menu-tray", Framed(tray.grab().toImage()));
        tray.close();
    }
    auto library = qx::MenuLibrary::Load(appDir / qx::kMenuLibraryFile);
    if (!library) return;
    auto list = [&](const char* name, const std::string_view(&looks)[3], std::uint32_t c1,
                    std::vector<std::u16string> texts) {
        std::string paths[8];
        const char* pictures[8];
        const std::string_view order[8] = {looks[0],          looks[1],          looks[2],
                                           looks[0],          skin::kSubMenu[0], skin::kSubMenu[1],
                                           skin::kSubMenu[2], skin::kSubMenu[0]};
        for (int i = 0; i < 8; ++i) {
            paths[i] = (appDir / "skins" / "Menu" / std::string(order[i])).string();
            pictures[i] = paths[i].c_str();
        }
        std::vector<QxMenuItem> items;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            QxMenuItem item{255, static_cast<std::int32_t>(i + 1), {}};
            for (std::size_t k = 0; k < texts[i].size() && k < 39; ++k) item.text[k] = texts[i][k];
            items.push_back(item);
        }
        library->CreateMenuEx(nullptr, 24, {0, 0}, c1, 0xFFFFFF, 0xB98C15, pictures, items.data(),
                              static_cast<int>(items.size()));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (w->windowFlags() & Qt::Popup) == Qt::Popup &&
                w->inherits("QWidget") && !qobject_cast<QMenu*>(w)) {
                QMouseEvent move(QEvent::MouseMove, QPointF(20, 1 + 22 + 11), QPointF(20, 34),
                                 Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(w, &move);
                Out(name, Framed(w->grab().toImage()));
            }
        library->DestroyMenuEx();
    };
    list("menu-models", skin::kModelMenu, 0xA0A0A0,
         {u"QX100", u"QX200", u"QX300", u"QX400", u"QX500", u"QX600"});
    list("menu-games", skin::kGameMenu, 0x676153,
         {u"Battlefield 3", u"Counter-Strike: Global Offensive", u"League of Legends", u"Dota 2",
          u"战地 4", u"绝地求生", u"Customize"});
}

void Controls() {
    QWidget sheet;
    sheet.resize(620, 300);
    sheet.setAutoFillBackground(true);
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(0x0B, 0x0D, 0x11));
    sheet.setPalette(pal);
    auto* events = new qx::ui::CListBoxEx(&sheet, 257);
    events->setGeometry(10, 10, 281, 200);
    events->SetBackColors(QColor(0x07, 0x09, 0x0C), QColor(0x1F, 0x3A, 0x4C));
    events->SetTextColors(QColor(0x8C, 0x9A, 0xAD), Qt::white);
    events->SetItemHeight(20);
    events->LoadEventIcons(appDir / "skins");
    const char* rows[][2] = {
        {"3", "Key W down"},   {"4", "Delay 35 ms"},      {"2", "Key W up"},
        {"4", "Delay 120 ms"}, {"5", "Move to 640, 360"}, {"3", "Left button down"},
        {"4", "Delay 16 ms"},  {"2", "Left button up"},   {"3", "Key R down"},
        {"4", "Delay 40 ms"},  {"2", "Key R up"},         {"5", "Move to 12, 80"}};
    for (const auto& r : rows) events->AddTypedString(r[1], QString(r[0]).toInt(), 0);
    events->setCurrentRow(4);
    auto* host = new qx::ui::CSkinScrollWnd(&sheet, events);
    host->Sync();
    QImage track(620, 300, QImage::Format_RGB32);
    track.fill(QColor(0x0B, 0x0D, 0x11));
    {
        QPainter p(&track);
        for (int i = 0; i < 3; ++i) {
            p.fillRect(QRect(310, 22 + i * 30, 200, 4), QColor(0x1E, 0x24, 0x2C));
            p.fillRect(QRect(310, 22 + i * 30, 60 * (i + 1), 4), QColor(0x19, 0xC3, 0xEE));
        }
    }
    const std::filesystem::path thumb = appDir / "skins" / "Slider.png";
    for (int i = 0; i < 3; ++i) {
        auto* slider = new qx::ui::CPngHSliderBar(thumb, QRect(310, 16 + i * 30, 200, 16), &sheet,
                                                  769 + i, track);
        slider->SetRange(i == 0 ? 1 : 0, i == 0 ? 5 : 255);
        slider->SetPos(i == 0 ? 3 : 60 * (i + 1));
        if (i == 2) slider->Enable(false);
    }
    const QImage empty = Pic("skins/ProgressBar/Progress_Normal.png");
    const QImage full = Pic("skins/ProgressBar/Progress_Over.png");
    auto* bar =
        new qx::ui::CPngHProgressBar(&sheet, 777, ToQRect(L::progress_window::kBar), empty, full);
    bar->move(310, 110);
    bar->SetRange(0, 100);
    bar->SetPos(72);
    const QColor swatches[4] = {QColor(250, 5, 126), QColor(13, 233, 223), QColor(249, 237, 0),
                                QColor(36, 0, 248)};
    for (int i = 0; i < 4; ++i) {
        auto* c = new qx::ui::CColorBtn(&sheet, i);
        c->setGeometry(310 + i * 36, 140, 29, 29);
        c->SetColor(swatches[i]);
        if (i == 1) c->setDown(true);
    }
    const QImage info[3] = {Pic(skin::kInfo[0]), Pic(skin::kInfo[1]), Pic(skin::kInfo[2])};
    for (int state = 0; state < 4; ++state) {
        auto* b = new qx::ui::CGDIBitmapBtn(&sheet, state);
        b->SetImages(240, 127, 306, 159, &info[0], &info[1], &info[2], &info[0]);
        b->move(310 + state * 72, 190);
        b->setText(state == 3 ? "Disabled" : kStates[state]);
        b->SetTextColors(QColor(0x53, 0x61, 0x67), Qt::white, Qt::white);
        if (state == 1) {
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QApplication::sendEvent(b, &enter);
        }
        if (state == 2) {
            b->SetCheckMode(true);
            b->SetSelected(true);
        }
        if (state == 3) b->setEnabled(false);
    }
    auto* edit = new qx::ui::CBitmapEdit(&sheet, QRect(310, 240, 120, 20), track);
    edit->setText("Quick scope");
    sheet.show();
    QCoreApplication::processEvents();
    host->Sync();
    Out("controls", sheet.grab().toImage());
}

void Sheets() {
    QImage sheet(12 * 48 + 16, 80, QImage::Format_RGB32);
    sheet.fill(QColor(0x0B, 0x0D, 0x11));
    QPainter p(&sheet);
    for (int i = 0; i < 12; ++i) {
        p.drawImage(QRect(8 + i * 48, 8, 38, 22), Res(skin::kLanguageIconFirst + i));
        p.drawImage(QPoint(8 + i * 48, 40), Res(skin::kLanguageLabelFirst + i));
    }
    p.end();
    Out("languages", sheet);
    QImage cells = Res(skin::kScrollBarCells).scaled(163 * 3, 54 * 3);
    Out("scrollbar-cells", Framed(cells));
    QImage icons(3 * 72 + 16, 80, QImage::Format_RGB32);
    icons.fill(QColor(0x0B, 0x0D, 0x11));
    QPainter q(&icons);
    q.drawImage(QRect(8, 8, 64, 64), Res(skin::kAppIcon));
    q.drawImage(QRect(80, 8, 64, 64), Res(skin::kTrayConfig));
    q.drawImage(QRect(152, 8, 64, 64), Res(skin::kTrayExit));
    q.end();
    Out("icons", icons);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: qx-skinshots OUT_DIR [APP_DIR]\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    appDir = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::path(QX_APP_DIR);
    QDir().mkpath(outDir);
    qx::ui::InitSkinResources();

    for (int lang = 0; lang < 2; ++lang) {
        const QString l = lang == 0 ? "zh" : "en";
        for (int state = 0; state < 3; ++state) {
            Out(QString("main-%1-%2").arg(l, kStates[state]), MainWindow(lang == 0, state, 1));
            Out(QString("settings-%1-%2").arg(l, kStates[state]),
                SettingsComposite(lang == 0, state));
        }
        const char* pages[6] = {"", "", "lighting", "macro", "trophies", "support"};
        for (int page = 2; page <= 5; ++page)
            Out(QString("main-%1-%2").arg(l, pages[page]), MainWindow(lang == 0, 0, page));
    }
    const std::string_view* pages[4] = {skin::kLighting, skin::kMacroPage, skin::kTrophies,
                                        skin::kSupport};
    const char* pageNames[4] = {"lighting", "macro", "trophies", "support"};
    for (int i = 0; i < 4; ++i)
        for (int state = 0; state < 3; ++state) {
            QImage page = Pic(pages[i][state]);
            if (state == 0) {
                QPainter p(&page);
                DrawPageTexts(p, i + 2, QPoint(0, 0), false);
            }
            Out(QString("%1-%2").arg(pageNames[i], kStates[state]), page);
        }
    for (int level : {0, 3, 7, 12}) {
        QImage page = Pic(skin::kTrophies[0]);
        QPainter p(&page);
        DrawPageTexts(p, 4, QPoint(0, 0), false, level);
        p.end();
        Out(QString("trophies-level%1").arg(level), page);
    }
    for (int model = 0; model < 6; ++model)
        for (int state = 0; state < 3; ++state)
            Out(QString("mouse-%1-%2")
                    .arg(QString::fromUtf8(skin::kModels[model].data(), 5), kStates[state]),
                Framed(Mouse(model, state)));
    const char* tabNames[4] = {"combo", "macro", "basic", "advanced"};
    for (int tab = 0; tab < 4; ++tab)
        for (int state = 0; state < 3; ++state) {
            QImage editor = EditorComposite(tab, state);
            QPainter p(&editor);
            DrawLists(p, QPoint(L::editor::kTabOrigin.x, L::editor::kTabOrigin.y), tab);
            p.end();
            Out(QString("editor-%1-%2").arg(tabNames[tab], kStates[state]), Framed(editor));
        }
    InfoBoxes();
    ModelChooser();
    Menus();
    Controls();
    Sheets();
    std::printf("qx-skinshots: %d pictures in %s\n", written, qPrintable(outDir));
    return 0;
}
