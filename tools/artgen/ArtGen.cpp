// qx-artgen OUT_APP_DIR OUT_RESOURCE_DIR [OUT_ICON_DIR]: paints every skin
// picture of the installation below OUT_APP_DIR/skins and the compiled-in
// pictures into OUT_RESOURCE_DIR with a resource list (skin.qrc) for the
// resource compiler; with OUT_ICON_DIR, the program's icon for the desktop's
// icon theme too (OUT_ICON_DIR/hicolor/...).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <string>

#include "tools/artgen/Pictures.h"
#include "ui/layout/SkinFiles.h"

namespace {

QString appDir, resDir;
int failures = 0;

QString Str(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void Save(const QImage& image, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool bmp = path.endsWith(".bmp", Qt::CaseInsensitive);
    const QImage out = bmp ? image.convertToFormat(QImage::Format_RGB888) : image;
    if (!out.save(path, bmp ? "BMP" : "PNG")) {
        std::fprintf(stderr, "qx-artgen: cannot write %s\n", qPrintable(path));
        ++failures;
    }
}

void SaveApp(const QImage& image, std::string_view relative) {
    Save(image, appDir + "/" + Str(relative));
}

void SaveTriple(const std::string_view (&names)[3], QImage (*paint)(artgen::State)) {
    for (int s = 0; s < 3; ++s) SaveApp(paint(static_cast<artgen::State>(s)), names[s]);
}

void SaveResource(int number, const QImage& image) {
    Save(image, QString("%1/%2.png").arg(resDir).arg(number));
}

// The theme's usual sizes for an application icon, and its scalable one.
void SaveThemeIcons(const QString& iconDir) {
    for (const int size : {48, 64, 128, 256})
        Save(artgen::AppIcon(size),
             QString("%1/hicolor/%2x%2/apps/qx-driver.png").arg(iconDir).arg(size));
    const QString svgPath = iconDir + "/hicolor/scalable/apps/qx-driver.svg";
    QDir().mkpath(QFileInfo(svgPath).absolutePath());
    QFile svg(svgPath);
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(artgen::AppIconSvg()) < 0) {
        std::fprintf(stderr, "qx-artgen: cannot write %s\n", qPrintable(svgPath));
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: qx-artgen OUT_APP_DIR OUT_RESOURCE_DIR [OUT_ICON_DIR]\n");
        return 2;
    }
    appDir = QString::fromLocal8Bit(argv[1]);
    resDir = QString::fromLocal8Bit(argv[2]);
    using namespace artgen;
    namespace skin = qx::skin;

    // Files of the installation.
    SaveTriple(skin::kEditorFrame, EditorFrame);
    SaveTriple(skin::kComboTab, ComboTab);
    SaveTriple(skin::kMacroTab, MacroTab);
    SaveTriple(skin::kBaseTab, BaseTab);
    SaveTriple(skin::kAdvancedTab, AdvancedTab);
    SaveTriple(skin::kInfo, [](State s) { return InfoBox(s, false); });
    SaveTriple(skin::kInfoCancel, [](State s) { return InfoBox(s, true); });
    SaveTriple(skin::kLighting, [](State s) { return LightingPage(s, false); });
    SaveTriple(skin::kLightingChinese, [](State s) { return LightingPage(s, true); });
    SaveTriple(skin::kMacroPage, MacroPage);
    SaveTriple(skin::kModelChooser, ModelChooser);
    SaveTriple(skin::kTrophies, [](State s) { return TrophiesPage(s, false); });
    SaveTriple(skin::kTrophiesChinese, [](State s) { return TrophiesPage(s, true); });
    SaveTriple(skin::kSupport, SupportPage);
    SaveApp(SliderThumb(), std::string("skins/") + std::string(skin::kSliderThumb));
    SaveApp(ProgressPicture(false),
            std::string("skins/ProgressBar/") + std::string(skin::kProgress[0]));
    SaveApp(ProgressPicture(true),
            std::string("skins/ProgressBar/") + std::string(skin::kProgress[1]));
    for (int level = 0; level < qx::layout::trophies_page::kLevels; ++level)
        SaveApp(TrophyPicture(level),
                QString("skins/trophy/trophy%1Down.bmp").arg(level).toStdString());
    for (int s = 0; s < 3; ++s) {
        const auto st = static_cast<State>(s);
        const std::string menu = "skins/Menu/";
        SaveApp(MenuItem(st, qx::layout::menu_pictures::kListItem.width, false),
                menu + std::string(skin::kGameMenu[s]));
        SaveApp(MenuItem(st, qx::layout::menu_pictures::kModelItem.width, false),
                menu + std::string(skin::kModelMenu[s]));
        SaveApp(MenuItem(st, qx::layout::menu_pictures::kSubItem.width, true),
                menu + std::string(skin::kSubMenu[s]));
    }
    for (int type = 0; type < 4; ++type)
        for (int sel = 0; sel < 2; ++sel)
            SaveApp(EventIcon(type + 2, sel == 1),
                    std::string("skins/") + std::string(skin::kEventIcons[type][sel]));
    for (int m = 0; m < 6; ++m)
        for (int s = 0; s < 3; ++s)
            SaveApp(MousePicture(static_cast<State>(s), m),
                    "skins/" + std::string(skin::kModels[m]) + "/" + std::string(skin::kMouse[s]));

    // Compiled-in pictures.
    SaveResource(skin::kAppIcon, AppIcon());
    SaveResource(skin::kPopupFrame, PopupFrame());
    for (int lang = 1; lang <= 12; ++lang) {
        SaveResource(skin::kLanguageIconFirst + lang - 1, LanguageIcon(lang));
        SaveResource(skin::kLanguageLabelFirst + lang - 1, LanguageLabel(lang));
    }
    const int mainNumbers[2][3] = {
        {skin::kMainChineseNormal, skin::kMainChineseOver, skin::kMainChineseDown},
        {skin::kMainEnglishNormal, skin::kMainEnglishOver, skin::kMainEnglishDown}};
    const int pageNumbers[2][3] = {
        {skin::kSettingsChineseNormal, skin::kSettingsChineseOver, skin::kSettingsChineseDown},
        {skin::kSettingsEnglishNormal, skin::kSettingsEnglishOver, skin::kSettingsEnglishDown}};
    for (int lang = 0; lang < 2; ++lang)
        for (int s = 0; s < 3; ++s) {
            SaveResource(mainNumbers[lang][s], MainWindow(static_cast<State>(s), lang == 0));
            SaveResource(pageNumbers[lang][s], SettingsPage(static_cast<State>(s), lang == 0));
        }
    SaveResource(skin::kScrollBarCells, ScrollCells());
    SaveResource(skin::kTrayExit, TrayIcon(true));
    SaveResource(skin::kTrayConfig, TrayIcon(false));
    if (argc == 4) SaveThemeIcons(QString::fromLocal8Bit(argv[3]));

    QFile qrc(resDir + "/skin.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    QTextStream out(&qrc);
    out << "<RCC>\n  <qresource prefix=\"/qx/res\">\n";
    for (int n : skin::kResourceNumbers) out << "    <file>" << n << ".png</file>\n";
    out << "  </qresource>\n</RCC>\n";
    return failures == 0 ? 0 : 1;
}
