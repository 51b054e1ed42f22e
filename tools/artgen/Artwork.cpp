// SPDX-License-Identifier: GPL-3.0-or-later
#include "Artwork.h"

#include "Backgrounds.h"
#include "GameButtons.h"
#include "Icon.h"

#include <QDir>
#include <QSaveFile>

const std::vector<Picture>& WindowPictures() {
    static const std::vector<Picture> pictures{
        {"main_wordmark.png", WordmarkSize, DrawMainWordmark},
        {"games_background.png", {580, 280}, DrawGamesBackground},
        {"button_cod.png", {248, 58}, DrawCallOfDutyButton},
        {"button_coduo.png", {255, 88}, DrawUnitedOffensiveButton},
        {"icon.png", {32, 32}, [] { return DrawIcon(32); }},
    };
    return pictures;
}

Picture IconPicture(int size) {
    return {QString("icon_%1.png").arg(size), {size, size}, [size] { return DrawIcon(size); }};
}

std::optional<std::vector<int>> ParseIconSizes(const QString& list) {
    std::vector<int> sizes;
    for (const QString& entry : list.split(',')) {
        bool isNumber = false;
        const int size = entry.trimmed().toInt(&isNumber);
        if (!isNumber || size < SmallestIconSize || size > LargestIconSize)
            return std::nullopt;
        sizes.push_back(size);
    }
    return sizes;
}

namespace {

// Writes through a temporary file, so that a failed run never leaves a half-written picture
// that the build would take for a finished one.
QString SavePicture(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString("cannot write %1: %2").arg(path, file.errorString());
    if (!image.save(&file, "PNG"))
        return QString("cannot encode %1 as PNG").arg(path);
    if (!file.commit())
        return QString("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace

QString WritePictures(const std::vector<Picture>& pictures, const QString& folder) {
    if (!QDir().mkpath(folder))
        return QString("cannot create the folder %1").arg(folder);
    for (const Picture& picture : pictures) {
        const QImage image = picture.draw();
        if (image.size() != picture.size)
            return QString("%1 came out %2 x %3 instead of %4 x %5")
                .arg(picture.fileName)
                .arg(image.width())
                .arg(image.height())
                .arg(picture.size.width())
                .arg(picture.size.height());
        const QString error = SavePicture(image, QDir(folder).filePath(picture.fileName));
        if (!error.isEmpty())
            return error;
    }
    return {};
}
