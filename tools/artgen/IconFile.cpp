// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconFile.h"

#include "Icon.h"

#include <QBuffer>
#include <QSaveFile>
#include <QtEndian>

namespace {

void AppendLittleEndian16(QByteArray& bytes, quint16 value) {
    const quint16 stored = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&stored), sizeof stored);
}

void AppendLittleEndian32(QByteArray& bytes, quint32 value) {
    const quint32 stored = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&stored), sizeof stored);
}

QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return png;
}

} // namespace

// The layout: a 6-byte header (reserved 0, type 1 for icons, the number of images), one 16-byte
// entry per image (width and height, 0 standing for 256; no palette; 1 plane; 32 bits per pixel;
// the size and the offset of its data), then the images' data.
QByteArray IcoFile(const std::vector<QImage>& images) {
    constexpr int HeaderSize = 6;
    constexpr int EntrySize = 16;
    std::vector<QByteArray> pngs;
    for (const QImage& image : images)
        pngs.push_back(Png(image));

    QByteArray file;
    AppendLittleEndian16(file, 0);
    AppendLittleEndian16(file, 1);
    AppendLittleEndian16(file, static_cast<quint16>(images.size()));
    quint32 offset = HeaderSize + EntrySize * static_cast<quint32>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto side = [](int pixels) { return static_cast<char>(pixels >= 256 ? 0 : pixels); };
        file.append(side(images[i].width()));
        file.append(side(images[i].height()));
        file.append('\0'); // colours in a palette: none
        file.append('\0'); // reserved
        AppendLittleEndian16(file, 1);
        AppendLittleEndian16(file, 32);
        AppendLittleEndian32(file, static_cast<quint32>(pngs[i].size()));
        AppendLittleEndian32(file, offset);
        offset += static_cast<quint32>(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        file.append(png);
    return file;
}

QString WriteWindowsIcon(const QString& path) {
    std::vector<QImage> images;
    for (int size : WindowsIconSizes)
        images.push_back(DrawIcon(size));

    // Through a temporary file, so that a failed run leaves no half-written icon behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString("cannot write %1: %2").arg(path, file.errorString());
    file.write(IcoFile(images));
    if (!file.commit())
        return QString("cannot write %1: %2").arg(path, file.errorString());
    return {};
}
