// Where every control sits on its window's pictures. The art generator paints
// the pictures from these tables and the windows cut their controls' images
// at the same rectangles, so the two can never drift apart. Qt-free.
#pragma once

#include <array>
#include <cstdint>

namespace qx::layout {

// Left, top, right, bottom in client pixels (right and bottom exclusive).
struct Rect {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

struct Point {
    int x, y;
};

// A four-cornered region button (page tabs, profile buttons, Apply).
using Quad = std::array<Point, 4>;

struct Size {
    int width, height;
};

// ---------------------------------------------------------------- main window
namespace main_window {
inline constexpr Size kSize{959, 639};
inline constexpr Rect kMinimise{887, 2, 921, 33};
inline constexpr Rect kHide{922, 2, 956, 33};
inline constexpr Rect kLanguageButton{15, 617, 57, 635};
inline constexpr Rect kLanguageLabel{19, 592, 55, 615};
inline constexpr Rect kHintArea{67, 598, 300, 628};
inline constexpr Rect kModelName{450, 31, 513, 52};
inline constexpr Rect kPages{17, 128, 942, 584};
inline constexpr Rect kMousePicture{716, 128, 942, 584};
inline constexpr std::array<Quad, 5> kTabs{{
    {{{30, 85}, {189, 85}, {210, 121}, {30, 121}}},
    {{{193, 85}, {375, 85}, {396, 121}, {214, 121}}},
    {{{377, 85}, {559, 85}, {579, 121}, {399, 121}}},
    {{{562, 85}, {743, 85}, {764, 121}, {583, 121}}},
    {{{747, 85}, {928, 85}, {928, 121}, {768, 121}}},
}};
inline constexpr std::array<Quad, 5> kProfiles{{
    {{{342, 608}, {435, 608}, {414, 635}, {321, 635}}},
    {{{439, 608}, {533, 608}, {512, 635}, {417, 635}}},
    {{{536, 608}, {628, 608}, {605, 635}, {513, 635}}},
    {{{630, 608}, {723, 608}, {700, 635}, {607, 635}}},
    {{{725, 608}, {818, 608}, {795, 635}, {703, 635}}},
}};
inline constexpr Quad kApply{{{841, 591}, {940, 591}, {940, 632}, {806, 632}}};
}  // namespace main_window

// --------------------------------------------------------- buttons page (4.3)
namespace settings_page {
inline constexpr Size kSize{699, 456};
inline constexpr std::array<int, 14> kDpiValues{500,  750,  1000, 1250, 1500, 2000, 2500,
                                                3000, 3250, 3500, 4000, 5000, 6000, 7000};
inline constexpr std::array<Rect, 14> kDpiBoxes{{
    {69, 66, 109, 78},
    {140, 66, 184, 78},
    {206, 66, 251, 79},
    {277, 66, 321, 78},
    {347, 66, 394, 78},
    {415, 66, 464, 80},
    {486, 66, 534, 80},
    {68, 90, 116, 103},
    {139, 91, 186, 104},
    {205, 91, 254, 103},
    {276, 91, 323, 104},
    {346, 91, 393, 103},
    {415, 90, 461, 104},
    {485, 90, 530, 104},
}};
inline constexpr Rect kPointerSpeedSlider{104, 167, 293, 179};
inline constexpr Rect kAccuracyBox{68, 203, 178, 219};
inline constexpr Rect kSensorHeightSlider{422, 167, 624, 179};
inline constexpr std::array<int, 4> kReportRates{125, 250, 500, 1000};
inline constexpr std::array<Rect, 4> kReportRateButtons{{
    {67, 303, 120, 317},
    {134, 303, 190, 317},
    {201, 303, 261, 317},
    {271, 303, 331, 317},
}};
// Index 0 Chinese, 1 English: the wheel controls move with the lettering.
inline constexpr std::array<Rect, 2> kWheelLines{{{406, 331, 558, 345}, {406, 331, 669, 347}}};
inline constexpr std::array<Rect, 2> kWheelScreen{{{406, 361, 527, 375}, {406, 375, 672, 393}}};
inline constexpr std::array<Rect, 2> kLinesEdit{{{574, 333, 590, 358}, {550, 355, 573, 377}}};
inline constexpr std::array<Rect, 2> kLinesUp{{{594, 330, 607, 340}, {573, 350, 588, 361}}};
inline constexpr std::array<Rect, 2> kLinesDown{{{594, 341, 607, 350}, {573, 361, 588, 372}}};
inline constexpr std::array<Rect, 6> kHeadings{{
    {40, 27, 176, 49},     // DPI
    {29, 127, 288, 157},   // pointer speed
    {372, 129, 568, 154},  // sensor height
    {30, 262, 208, 287},   // report rate
    {374, 263, 661, 287},  // wheel
    {29, 366, 205, 395},   // key assignment
}};
inline constexpr int kTabTop = 408;
inline constexpr int kTabBottom = 441;
// x0..x3 of the seven assignment tabs: (x0,top) (x1,top) (x2,bottom) (x3,bottom).
inline constexpr std::array<std::array<int, 4>, 7> kTabX{{
    {19, 127, 95, 19},
    {130, 214, 182, 98},
    {218, 302, 270, 186},
    {306, 389, 357, 274},
    {393, 476, 444, 361},
    {481, 581, 549, 449},
    {586, 692, 660, 554},
}};
constexpr Quad TabQuad(int i) {
    return {{{kTabX[i][0], kTabTop},
             {kTabX[i][1], kTabTop},
             {kTabX[i][2], kTabBottom},
             {kTabX[i][3], kTabBottom}}};
}
}  // namespace settings_page

// ------------------------------------------------------- mouse picture (4.3)
namespace mouse_picture {
inline constexpr Size kSize{226, 456};
// Hot spots in button order 0-6, one row per model QX100..QX600.
inline constexpr std::array<std::array<Rect, 7>, 6> kHotSpots{{
    {{{62, 144, 86, 169},
      {95, 157, 119, 180},
      {129, 146, 152, 168},
      {23, 206, 48, 230},
      {27, 239, 54, 263},
      {97, 127, 122, 150},
      {94, 182, 120, 207}}},
    {{{63, 136, 89, 162},
      {97, 150, 121, 171},
      {131, 139, 155, 163},
      {27, 217, 51, 241},
      {32, 252, 56, 277},
      {100, 119, 123, 144},
      {97, 176, 123, 199}}},
    {{{64, 138, 89, 263},
      {97, 150, 122, 172},
      {131, 139, 155, 162},
      {27, 217, 50, 242},
      {32, 252, 57, 277},
      {100, 118, 121, 142},
      {98, 174, 121, 199}}},
    {{{62, 145, 86, 170},
      {94, 156, 119, 179},
      {129, 147, 153, 169},
      {23, 207, 49, 229},
      {28, 241, 54, 262},
      {97, 126, 121, 151},
      {97, 183, 120, 207}}},
    {{{61, 142, 88, 171},
      {96, 157, 119, 178},
      {130, 146, 152, 171},
      {24, 206, 48, 229},
      {28, 240, 54, 265},
      {97, 126, 121, 149},
      {94, 182, 121, 205}}},
    {{{62, 136, 89, 162},
      {96, 150, 123, 172},
      {132, 139, 156, 164},
      {27, 219, 51, 241},
      {31, 253, 56, 276},
      {98, 120, 122, 143},
      {96, 175, 123, 199}}},
}};
}  // namespace mouse_picture

// ----------------------------------------------------- per-button editor (4.4)
namespace editor {
inline constexpr Size kFrameSize{412, 300};
inline constexpr Rect kClose{383, 1, 411, 24};
inline constexpr std::array<Rect, 4> kTabs{{
    {0, 37, 110, 64},    // key combination
    {111, 37, 207, 64},  // macro
    {208, 37, 303, 64},  // basic
    {304, 37, 412, 64},  // advanced
}};
inline constexpr Rect kDisableBox{23, 258, 42, 277};
inline constexpr Rect kDisableLabel{46, 258, 106, 278};
inline constexpr Rect kDefaultButton{238, 254, 315, 289};
inline constexpr Rect kOkButton{316, 254, 393, 289};
inline constexpr Rect kPanelTitle{75, 1, 317, 20};
inline constexpr Rect kCurrentFunction{5, 16, 180, 38};
inline constexpr Point kTabOrigin{21, 74};
inline constexpr Size kTabSize{370, 169};
// Key combination tab.
inline constexpr std::array<Rect, 4> kModifierBoxes{{
    {59, 45, 72, 58},    // Ctrl
    {59, 70, 72, 83},    // Alt
    {59, 94, 72, 108},   // Shift
    {58, 119, 72, 133},  // Win
}};
inline constexpr Rect kCapturedKey{170, 77, 326, 100};
// Macro tab.
inline constexpr Rect kCategoryList{1, 1, 184, 168};
inline constexpr Rect kMacroList{188, 1, 369, 168};
// Basic tab.
inline constexpr Rect kBasicList{0, 0, 372, 171};
// Advanced tab: choice button, label, path box, browse button per action row.
struct AdvancedRow {
    Rect choice, label, path, browse;
};
inline constexpr std::array<AdvancedRow, 4> kAdvancedRows{{
    {{21, 37, 38, 54}, {41, 36, 127, 56}, {124, 36, 263, 52}, {273, 33, 349, 55}},
    {{21, 63, 38, 80}, {41, 63, 127, 83}, {124, 63, 262, 79}, {273, 59, 349, 81}},
    {{21, 88, 38, 105}, {41, 89, 127, 109}, {124, 89, 262, 105}, {273, 86, 349, 108}},
    {{21, 114, 38, 131}, {41, 116, 127, 136}, {124, 116, 262, 132}, {273, 113, 349, 135}},
}};
}  // namespace editor

// ----------------------------------------------------------- macro page (5.4)
namespace macro_page {
inline constexpr Size kSize{925, 456};
inline constexpr Rect kCategoryButton{25, 48, 327, 71};
inline constexpr Rect kMacroList{27, 89, 325, 406};
inline constexpr Rect kNewMacro{26, 412, 67, 441};
inline constexpr Rect kDeleteMacro{77, 412, 138, 441};
inline constexpr Rect kImport{149, 412, 210, 441};
inline constexpr Rect kExport{222, 412, 283, 441};
inline constexpr Rect kEventList{345, 51, 626, 406};
inline constexpr Rect kInsert{360, 412, 390, 439};
inline constexpr Rect kDeleteEvent{393, 412, 423, 440};
inline constexpr Rect kModify{426, 411, 456, 440};
inline constexpr Rect kRecord{783, 22, 899, 53};
inline constexpr Rect kDelaySwitch{646, 58, 834, 76};
inline constexpr Rect kLoopCountEdit{852, 87, 892, 102};
inline constexpr Rect kLoopCount{643, 88, 727, 102};
inline constexpr Rect kLoopWhileHeld{645, 108, 895, 143};
inline constexpr Rect kLoopToggle{643, 142, 736, 158};
inline constexpr Rect kPickerLeft{718, 213, 745, 257};
inline constexpr Rect kPickerMiddle{754, 205, 782, 256};
inline constexpr Rect kPickerRight{791, 213, 823, 257};
inline constexpr Rect kKeyType{642, 337, 778, 359};
inline constexpr Rect kKeyEdit{789, 343, 857, 356};
inline constexpr Rect kKeyOk{865, 341, 905, 359};
inline constexpr Rect kDelayType{642, 367, 787, 387};
inline constexpr Rect kDelayEdit{790, 370, 858, 383};
inline constexpr Rect kDelayOk{865, 368, 905, 386};
inline constexpr Rect kPositionType{642, 395, 913, 412};
inline constexpr Rect kXEdit{684, 418, 725, 437};
inline constexpr Rect kXUp{727, 416, 742, 425};
inline constexpr Rect kXDown{727, 426, 742, 437};
inline constexpr Rect kYEdit{780, 418, 822, 437};
inline constexpr Rect kYUp{825, 416, 838, 424};
inline constexpr Rect kYDown{824, 428, 838, 436};
inline constexpr Rect kPositionOk{865, 417, 905, 435};
inline constexpr Rect kMacroListLabel{24, 19, 120, 40};
inline constexpr Rect kMacroListFrame{26, 87, 324, 406};
inline constexpr Rect kEventListLabel{340, 19, 427, 39};
inline constexpr Rect kEventListFrame{342, 49, 625, 407};
}  // namespace macro_page

// --------------------------------------------------------- lighting page (6.1)
namespace lighting_page {
inline constexpr Size kSize{925, 456};
// English placement; the picture is lettered for it.
inline constexpr Rect kMode4{197, 28, 407, 47};
inline constexpr Rect kMode3{450, 26, 665, 46};
inline constexpr Rect kMode6{710, 28, 828, 46};
inline constexpr Rect kMode2{196, 56, 286, 76};
inline constexpr Rect kBreathingSlider{570, 61, 714, 70};
inline constexpr Rect kMode1{196, 86, 301, 104};
inline constexpr Rect kBrightnessSlider{570, 91, 713, 99};
inline constexpr Rect kMode5{196, 117, 331, 131};
inline constexpr Rect kOwnColours{342, 112, 488, 137};
inline constexpr std::array<Rect, 3> kSlotSwatches{
    {{514, 110, 543, 139}, {547, 110, 576, 139}, {580, 110, 609, 139}}};
inline constexpr Rect kMode5SpeedSlider{428, 146, 572, 153};
inline constexpr Rect kBodyOn{326, 164, 394, 180};
inline constexpr Rect kBodyOff{453, 165, 525, 181};
inline constexpr Rect kSlot3Swatch{170, 207, 195, 232};
inline constexpr Rect kRedSlider{571, 279, 698, 287};
inline constexpr Rect kGreenSlider{571, 326, 698, 336};
inline constexpr Rect kBlueSlider{571, 370, 698, 379};
inline constexpr Rect kRedValue{713, 275, 738, 290};
inline constexpr Rect kGreenValue{713, 323, 738, 338};
inline constexpr Rect kBlueValue{713, 367, 738, 383};
inline constexpr std::array<Rect, 6> kLabels{{
    {21, 25, 176, 50},     // lighting mode
    {17, 159, 253, 183},   // body light
    {17, 184, 516, 206},   // body light explanation
    {28, 207, 159, 229},   // colour
    {30, 247, 131, 265},   // presets
    {482, 239, 631, 260},  // colour mixer
}};
inline constexpr Rect kColourWheel{771, 264, 891, 383};
// Chinese placement, chosen once when the page is created in ChineseMode.
// Controls not listed here sit where the English ones do.
namespace chinese {
inline constexpr Rect kMode4{197, 36, 309, 52};
inline constexpr Rect kMode3{368, 36, 481, 52};
inline constexpr Rect kMode6{557, 36, 638, 52};
inline constexpr Rect kMode2{197, 63, 277, 78};
inline constexpr Rect kBreathingSlider{458, 67, 603, 75};
inline constexpr Rect kMode1{197, 89, 278, 106};
inline constexpr Rect kBrightnessSlider{458, 92, 602, 101};
inline constexpr Rect kMode5{197, 118, 278, 135};
inline constexpr Rect kOwnColours{326, 114, 405, 138};
inline constexpr std::array<Rect, 3> kSlotSwatches{
    {{431, 114, 456, 139}, {464, 114, 489, 139}, {497, 114, 522, 139}}};
inline constexpr Rect kMode5SpeedSlider{673, 123, 816, 131};
inline constexpr Rect kBodyOn{196, 146, 248, 164};
inline constexpr Rect kBodyOff{324, 147, 375, 163};
inline constexpr Rect kSlot3Swatch{171, 206, 196, 232};
inline constexpr Rect kRedSlider{564, 272, 692, 287};
inline constexpr Rect kGreenSlider{564, 319, 692, 334};
inline constexpr Rect kBlueSlider{564, 354, 692, 379};
inline constexpr std::array<Rect, 6> kLabels{{
    {21, 25, 176, 50},
    {21, 138, 171, 167},
    {25, 166, 404, 195},
    {28, 207, 159, 229},
    {30, 247, 131, 265},
    {482, 239, 631, 260},
}};
}  // namespace chinese
// The red, green and blue thumbs travel a track this much shorter at the right.
inline constexpr int kColourTrackShortening = 7;
// 26 preset buttons in rows of seven, reading order; the sixth and seventh
// columns sit one pixel further left.
inline constexpr int kPresetCount = 26;
constexpr Rect PresetRect(int n, bool chineseLayout = false) {
    const int col = n % 7, row = n / 7;
    const int left = 40 * col - (col > 4 ? 1 : 0) + (chineseLayout ? 140 : 177);
    const int top = (chineseLayout ? 256 : 258) + 41 * row;
    return {left, top, left + 31, top + (chineseLayout ? 33 : 32)};
}
struct Rgb {
    std::uint8_t r, g, b;
};
inline constexpr std::array<Rgb, 26> kPresetColours{{
    {250, 5, 126},  {250, 18, 0},   {248, 121, 1},  {249, 237, 0},  {193, 240, 9},  {39, 249, 0},
    {24, 164, 42},  {19, 231, 147}, {13, 233, 223}, {1, 193, 250},  {5, 142, 250},  {0, 111, 249},
    {36, 0, 248},   {90, 24, 227},  {127, 27, 226}, {193, 24, 226}, {230, 250, 84}, {0, 185, 48},
    {250, 99, 125}, {196, 59, 35},  {222, 3, 22},   {23, 122, 173}, {0, 185, 18},   {74, 90, 192},
    {111, 78, 238}, {1, 84, 185},
}};
}  // namespace lighting_page

// ------------------------------------------------------------ trophies (7.2)
namespace trophies_page {
inline constexpr Size kSize{925, 456};
inline constexpr Rect kTrophy{309, 0, 607, 451};
inline constexpr Size kTrophyPicture{298, 451};
inline constexpr int kLevels = 13;
inline constexpr Rect kLevelBarFull{631, 62, 904, 77};
constexpr int LevelBarWidth(int level) {
    const int shown = level + 1 < 13 ? level + 1 : 13;
    return shown * 273 / 13;
}
constexpr Rect LampRect(int i) {
    const int row = i / 5, col = i % 5;
    return {647 + 50 * col, 132 + 58 * row, 690 + 50 * col, 182 + 58 * row};
}
inline constexpr Rect kReset{703, 379, 832, 410};
// Value rows (top, bottom) in the order of the counters.
inline constexpr std::array<std::array<int, 2>, 8> kValueRows{{{85, 106},
                                                               {119, 139},
                                                               {152, 172},
                                                               {183, 203},
                                                               {250, 270},
                                                               {284, 304},
                                                               {319, 339},
                                                               {384, 404}}};
inline constexpr int kTravelRow = 7;
// The page draws each value right-aligned in its rectangle; a start in
// Chinese moves the column right, the travel further still.
constexpr Rect ValueRect(int row, bool chinese) {
    const int left = !chinese ? 152 : row == kTravelRow ? 187 : 167;
    return {left, kValueRows[row][0], left + 75, kValueRows[row][1]};
}
inline constexpr int kLabelLeft = 26;
}  // namespace trophies_page

// -------------------------------------------------------------- support (8.2)
namespace support_page {
inline constexpr Size kSize{925, 456};
inline constexpr Rect kUpdate{405, 264, 520, 293};
inline constexpr Rect kWebSite{711, 264, 826, 293};
inline constexpr Rect kImport{134, 389, 224, 420};
inline constexpr Rect kExport{234, 389, 324, 420};
inline constexpr Rect kRestore{785, 388, 873, 417};
inline constexpr Rect kDriverLabel{77, 110, 274, 141};
inline constexpr Rect kFirmwareLabel{380, 113, 559, 140};
// Version text boxes: the pairs read as corners, the only reading that keeps
// them on the page.
inline constexpr Rect kDriverVersionBox{127, 169, 247, 192};
inline constexpr Rect kFirmwareVersionBox{440, 169, 515, 192};
}  // namespace support_page

// ------------------------------------------------- message box (10.3), chooser
namespace info_box {
inline constexpr Size kSize{330, 170};
inline constexpr Rect kClose{300, 0, 329, 29};
inline constexpr Rect kOkAlone{240, 127, 306, 159};
inline constexpr Rect kOkWithCancel{178, 127, 244, 159};
inline constexpr Rect kCancel{245, 127, 311, 159};
inline constexpr Rect kHeading{10, 9, 100, 23};
inline constexpr Rect kText{90, 73, 305, 91};
}  // namespace info_box

namespace model_chooser {
inline constexpr Size kSize{330, 170};
inline constexpr Rect kClose{300, 0, 329, 29};
inline constexpr Rect kOk{240, 127, 306, 159};
inline constexpr Rect kSelector{84, 86, 248, 105};
inline constexpr Rect kHeading{10, 9, 100, 23};
inline constexpr Rect kPrompt{83, 63, 247, 73};
}  // namespace model_chooser

// ------------------------------------------------------ progress window (8.3)
namespace progress_window {
inline constexpr Size kSize{330, 78};
inline constexpr Rect kBar{35, 47, 295, 56};
}  // namespace progress_window

// ------------------------------------------------------- menus and small parts
namespace menu_pictures {
inline constexpr Size kModelItem{164, 22};
inline constexpr Size kListItem{302, 22};
inline constexpr Size kSubItem{302, 22};
}  // namespace menu_pictures

namespace popup_menu {
inline constexpr int kTop = 6;
inline constexpr int kEntryHeight = 22;
inline constexpr int kSeparatorHeight = 4;
inline constexpr int kEntryLeft = 6;
inline constexpr int kEntryRight = 110;
inline constexpr int kWidth = 116;
inline constexpr int kIconColumn = 25;
inline constexpr int kFrameSize = 65;
inline constexpr int kFrameCorner = 10;
}  // namespace popup_menu

inline constexpr Size kSliderThumb{10, 14};
inline constexpr Size kScrollPicture{163, 54};
inline constexpr int kScrollCell = 18;
inline constexpr Size kLanguageIcon{19, 11};
inline constexpr Size kLanguageLabel{37, 22};
inline constexpr Size kEventIcon{16, 16};

}  // namespace qx::layout
