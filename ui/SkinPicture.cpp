#include "ui/SkinPicture.h"

#include <system_error>
#include <vector>

#include "base/DataFile.h"

static void InitQxSkinResource() {
    Q_INIT_RESOURCE(skin);
}

namespace qx::ui {

namespace fs = std::filesystem;

// The largest window picture is a few megabytes as a BMP.
constexpr std::size_t kMaxSkinPictureBytes = 32u << 20;

static fs::path FindCaseBlind(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const fs::path folder = path.parent_path();
    const QString wanted = QString::fromStdString(path.filename().string());
    // Incremented by hand: the range form throws on an error half-way.
    fs::directory_iterator it(folder.empty() ? "." : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (QString::fromStdString(it->path().filename().string())
                .compare(wanted, Qt::CaseInsensitive) == 0)
            return it->path();
    }
    return path;
}

static SkinPicture FromImage(QImage image) {
    SkinPicture picture;
    if (image.isNull()) return picture;
    picture.width = image.width();
    picture.height = image.height();
    picture.image = std::move(image);
    return picture;
}

SkinPicture LoadSkinPicture(const fs::path& path) {
    // Read as every data file is: a FIFO or a device in a picture's place
    // is refused instead of blocking the start.
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(FindCaseBlind(path), bytes, kMaxSkinPictureBytes) != FileError::None)
        return {};
    return FromImage(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

SkinPicture LoadResourcePicture(int number) {
    InitSkinResources();
    return FromImage(QImage(QString(":/qx/res/%1.png").arg(number)));
}

void InitSkinResources() {
    static const bool done = (InitQxSkinResource(), true);
    (void)done;
}

QImage CutImage(const QImage& full, const QRect& rect) {
    if (full.isNull() || rect.isEmpty()) return {};
    return full.copy(rect);
}

fs::path SkinPath(const fs::path& appFolder, std::string_view relative) {
    return appFolder / fs::path(std::string(relative));
}

WindowPictures LoadWindowPictures(const fs::path& appFolder, const std::string_view (&names)[3],
                                  const std::string_view (*preferred)[3]) {
    auto load = [&appFolder](std::string_view name) {
        return LoadSkinPicture(SkinPath(appFolder, name)).image;
    };
    if (preferred != nullptr) {
        QImage normal = load((*preferred)[0]);
        if (!normal.isNull())
            return {std::move(normal), load((*preferred)[1]), load((*preferred)[2])};
    }
    return {load(names[0]), load(names[1]), load(names[2])};
}

}  // namespace qx::ui
