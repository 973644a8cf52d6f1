// Painters of every skin picture. Each returns the whole picture of one state.
#pragma once

#include <QImage>

#include "tools/artgen/ArtKit.h"

namespace artgen {

QImage MainWindow(State s, bool chinese);
QImage SettingsPage(State s, bool chinese);
QImage MousePicture(State s, int model);
QImage EditorFrame(State s);
QImage ComboTab(State s);
QImage MacroTab(State s);
QImage BaseTab(State s);
QImage AdvancedTab(State s);
QImage InfoBox(State s, bool withCancel);
QImage ModelChooser(State s);
QImage ProgressPicture(bool filled);

QImage MacroPage(State s);
// chinese: the placement and lettering of a start in Chinese.
QImage LightingPage(State s, bool chinese);
QImage TrophiesPage(State s, bool chinese);
QImage TrophyPicture(int level);
QImage SupportPage(State s);

QImage MenuItem(State s, int width, bool withSub);
QImage SliderThumb();
QImage ScrollCells();
QImage PopupFrame();
QImage LanguageIcon(int language);
QImage LanguageLabel(int language);
// The program's icon at size x size pixels, and the same drawing as SVG.
QImage AppIcon(int size = 64);
QByteArray AppIconSvg();
QImage TrayIcon(bool exit);
QImage EventIcon(int type, bool selected);

}  // namespace artgen
