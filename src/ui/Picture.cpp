// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Picture.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <vector>

namespace {

// Where one pixel of a stretched row or column takes its colour from: two neighbouring source
// pixels, the second weighing `weight` 256ths.
struct Sample {
    int first = 0;
    int second = 0;
    int weight = 0;
};

// The samples for stretching `from` pixels to `to`, pixel centres matched to pixel centres.
std::vector<Sample> Samples(int from, int to) {
    std::vector<Sample> samples(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double position =
            std::clamp((i + 0.5) * from / to - 0.5, 0.0, static_cast<double>(from - 1));
        const int first = static_cast<int>(position);
        samples[static_cast<std::size_t>(i)] = {first, std::min(first + 1, from - 1),
                                                static_cast<int>((position - first) * 256 + 0.5)};
    }
    return samples;
}

// `a` moved `weight` 256ths of the way to `b`, channel by channel: two channels at a time, each
// with room above it for the product.
inline QRgb Mix(QRgb a, QRgb b, int weight) {
    if (weight == 0)
        return a;
    const auto to = static_cast<QRgb>(weight);
    const QRgb from = 256 - to;
    const QRgb redBlue = (((a & 0xff00ff) * from + (b & 0xff00ff) * to) >> 8) & 0xff00ff;
    const QRgb alphaGreen =
        (((a >> 8) & 0xff00ff) * from + ((b >> 8) & 0xff00ff) * to) & 0xff00ff00;
    return alphaGreen | redBlue;
}

const QRgb* Row(const QImage& image, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

// Fills `out` with the `sourceHeight` rows of `source` from row `sourceTop` on, stretched
// bilinearly to the height of `out`, which is as wide. `source` may be `out` itself, holding the
// picture in its bottom rows: rows are filled from the top, and the picture rows that row y blends
// lie at row y or below it (the picture only ever grows here), so each is read before it is
// overwritten.
void StretchRows(const QImage& source, int sourceTop, int sourceHeight, QImage& out) {
    const std::vector<Sample> rows = Samples(sourceHeight, out.height());
    for (int y = 0; y < out.height(); ++y) {
        const Sample& row = rows[static_cast<std::size_t>(y)];
        const QRgb* upper = Row(source, sourceTop + row.first);
        const QRgb* lower = Row(source, sourceTop + row.second);
        auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            target[x] = Mix(upper[x], lower[x], row.weight);
    }
}

// Both ways at once: every pixel from four source pixels.
void StretchBothWays(const QImage& source, QImage& out) {
    const std::vector<Sample> columns = Samples(source.width(), out.width());
    const std::vector<Sample> rows = Samples(source.height(), out.height());
    for (int y = 0; y < out.height(); ++y) {
        const Sample& row = rows[static_cast<std::size_t>(y)];
        const QRgb* upper = Row(source, row.first);
        const QRgb* lower = Row(source, row.second);
        auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const Sample& column = columns[static_cast<std::size_t>(x)];
            const QRgb top = Mix(upper[column.first], upper[column.second], column.weight);
            const QRgb bottom = Mix(lower[column.first], lower[column.second], column.weight);
            target[x] = Mix(top, bottom, row.weight);
        }
    }
}

// A reader of the PNG resource at `path`, which it keeps open. Telling it the format spares it
// asking every image format plugin whether it knows the file.
class PngReader {
public:
    explicit PngReader(const QString& path) : m_file(path) {
        if (m_file.open(QIODevice::ReadOnly)) {
            m_reader.setDevice(&m_file);
            m_reader.setFormat("png");
            m_reader.setAutoDetectImageFormat(false);
        }
    }
    QImageReader& reader() { return m_reader; }
    bool isOpen() const { return m_file.isOpen(); }

private:
    QFile m_file;
    QImageReader m_reader;
};

} // namespace

QPixmap Picture(const QString& resourcePath) {
    PngReader png(resourcePath);
    if (!png.isOpen())
        return {};
    return QPixmap::fromImage(png.reader().read());
}

// Bilinear, as the label's own smooth stretching, but without Qt's image scaling, which hands a
// picture of this size to worker threads. Bilinear sampling suits enlarging only: a picture made
// smaller needs the averaging of Qt's smooth scaling.
QPixmap Stretched(const QPixmap& picture, QSize size) {
    if (picture.isNull() || picture.size() == size || size.isEmpty())
        return picture;
    if (size.width() < picture.width() || size.height() < picture.height())
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage source = picture.toImage().convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QImage stretched(size, source.format());
    if (source.width() == size.width())
        StretchRows(source, 0, source.height(), stretched);
    else
        StretchBothWays(source, stretched);
    return QPixmap::fromImage(std::move(stretched));
}

QPixmap StretchedPicture(const QString& resourcePath, QSize size) {
    PngReader png(resourcePath);
    if (!png.isOpen())
        return {};
    QImageReader& reader = png.reader();
    const QSize pictureSize = reader.size();
    const bool onlyTaller = pictureSize.width() == size.width() && pictureSize.height() > 0 &&
                            pictureSize.height() < size.height() &&
                            reader.imageFormat() == QImage::Format_RGB32;
    if (!onlyTaller)
        return Stretched(QPixmap::fromImage(reader.read()), size);

    // The picture is read into the bottom rows of the stretched image and stretched upwards.
    QImage stretched(size, QImage::Format_RGB32);
    const int pictureTop = size.height() - pictureSize.height();
    uchar* const pictureRows = stretched.bits() + qsizetype(pictureTop) * stretched.bytesPerLine();
    QImage picture(pictureRows, pictureSize.width(), pictureSize.height(), stretched.bytesPerLine(),
                   QImage::Format_RGB32);
    if (!reader.read(&picture))
        return {};
    if (picture.constBits() != pictureRows) // the reader took a buffer of its own after all
        return Stretched(QPixmap::fromImage(std::move(picture)), size);
    StretchRows(stretched, pictureTop, pictureSize.height(), stretched);
    return QPixmap::fromImage(std::move(stretched));
}
