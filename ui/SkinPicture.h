// Skin pictures: files of the installation and the compiled-in pictures.
// Windows load them once when they are created; controls cut their state
// images once when they receive them. Painting never loads anything.
#pragma once

#include <QImage>
#include <QRect>
#include <filesystem>
#include <string_view>

#include "ui/layout/SkinLayout.h"

namespace qx::ui {

struct SkinPicture {
    QImage image;
    int width = 0;
    int height = 0;
    bool IsNull() const { return image.isNull(); }
};

// BMP, PNG, JPEG, GIF and the other formats Qt reads. A missing or unreadable
// file gives no picture and size 0 x 0. The file name is matched without
// regard to letter case when the exact name does not exist, as the skins
// were named for a case-blind file system.
SkinPicture LoadSkinPicture(const std::filesystem::path& path);

// A compiled-in picture by resource number (128-166, 1011, 1012).
SkinPicture LoadResourcePicture(int number);

// Registers the compiled-in pictures; called once before the first window.
void InitSkinResources();

// The part of a full picture under a rectangle; no picture from no picture.
QImage CutImage(const QImage& full, const QRect& rect);

inline QRect ToQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// appFolder joined with a relative skin path such as "skins/Info/Info_Normal.bmp".
std::filesystem::path SkinPath(const std::filesystem::path& appFolder, std::string_view relative);

// A window's normal, over and down pictures. When `preferred` names a set
// whose normal picture exists, that set is used, otherwise `names`.
struct WindowPictures {
    QImage normal, over, down;
};
WindowPictures LoadWindowPictures(const std::filesystem::path& appFolder,
                                  const std::string_view (&names)[3],
                                  const std::string_view (*preferred)[3] = nullptr);

}  // namespace qx::ui
