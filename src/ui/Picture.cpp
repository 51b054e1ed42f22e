// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Picture.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

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
