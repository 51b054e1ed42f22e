// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon as a Windows icon file: a directory Windows can read, one PNG per size, and
// each the same picture the windows show at that size.

#include "IconFile.h"

#include "Icon.h"
#include "support/TestPrefix.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

namespace {

struct IcoEntry {
    int width, height, colours, reserved, planes, bitsPerPixel;
    quint32 size, offset;
};

quint16 Read16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 Read32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// The directory of an .ico file, read as Windows reads it; empty when the header is not that of
// an icon file or the file is too short for its own directory.
std::vector<IcoEntry> Directory(const QByteArray& file) {
    if (file.size() < 6 || Read16(file, 0) != 0 || Read16(file, 2) != 1)
        return {};
    const int count = Read16(file, 4);
    if (file.size() < 6 + 16 * count)
        return {};
    std::vector<IcoEntry> entries;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 6 + 16 * i;
        const auto byte = [&](qsizetype offset) { return int(quint8(file[at + offset])); };
        entries.push_back({byte(0), byte(1), byte(2), byte(3), Read16(file, at + 4),
                           Read16(file, at + 6), Read32(file, at + 8), Read32(file, at + 12)});
    }
    return entries;
}

QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class IconFileTest : public QObject {
    Q_OBJECT

private slots:
    void holdsEverySizeAsThePictureTheWindowsShow() {
        const QByteArray file = IcoFile({DrawIcon(16), DrawIcon(32), DrawIcon(256)});
        const std::vector<IcoEntry> entries = Directory(file);
        QCOMPARE(entries.size(), std::size_t{3});

        const int sizes[] = {16, 32, 256};
        quint32 expectedOffset = 6 + 16 * 3;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const IcoEntry& entry = entries[i];
            const int side = sizes[i] == 256 ? 0 : sizes[i]; // 0 stands for 256
            QCOMPARE(entry.width, side);
            QCOMPARE(entry.height, side);
            QCOMPARE(entry.colours, 0);
            QCOMPARE(entry.reserved, 0);
            QCOMPARE(entry.planes, 1);
            QCOMPARE(entry.bitsPerPixel, 32);
            QCOMPARE(entry.offset, expectedOffset); // the images follow each other, no gaps
            expectedOffset += entry.size;

            const QByteArray png = file.mid(entry.offset, entry.size);
            QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
            QCOMPARE(Rgb(QImage::fromData(png, "PNG")), Rgb(DrawIcon(sizes[i])));
        }
        QCOMPARE(qsizetype(expectedOffset), file.size()); // and nothing after the last
    }

    void writesTheWindowsIconSizes() {
        TempDir dir;
        const QString path = QString::fromStdString((dir.path() / "tintwell.ico").string());
        QCOMPARE(WriteWindowsIcon(path), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();

        std::vector<int> sides;
        for (const IcoEntry& entry : Directory(bytes))
            sides.push_back(entry.width == 0 ? 256 : entry.width);
        QCOMPARE(sides, WindowsIconSizes);
        QVERIFY(std::find(sides.begin(), sides.end(), 32) != sides.end()); // the windows' size
    }

    void saysWhyItCannotWrite() {
        TempDir dir;
        const QString path =
            QString::fromStdString((dir.path() / "missing" / "tintwell.ico").string());
        const QString error = WriteWindowsIcon(path);
        QVERIFY2(error.startsWith("cannot write " + path), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(IconFileTest)
#include "IconFileTest.moc"
