#include "ui/SkinPicture.h"

#include <QFile>
#include <system_error>

static void InitQxSkinResource() {
    Q_INIT_RESOURCE(skin);
}

namespace qx::ui {

namespace fs = std::filesystem;

static fs::path FindCaseBlind(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const fs::path folder = path.parent_path();
    const QString wanted = QString::fromStdString(path.filename().string());
    for (const auto& entry : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        if (QString::fromStdString(entry.path().filename().string())
                .compare(wanted, Qt::CaseInsensitive) == 0)
            return entry.path();
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
    QFile file(QString::fromStdString(FindCaseBlind(path).string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return FromImage(QImage::fromData(bytes));
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
