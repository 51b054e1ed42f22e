// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' pictures: read from the program's resources as Qt itself reads them, and the
// editor's background stretched before its first paint so that it looks as the label's own
// smooth stretching would.

#include "ui/Picture.h"

#include "UiTestSupport.h"
#include "ui/ClickLabel.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <cstdlib>

namespace {

// The largest difference of any channel of any pixel; -1 when the sizes differ.
int LargestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

// A picture of one colour above another.
QPixmap TwoBands(QSize size, QColor top, QColor bottom, QImage::Format format) {
    QImage image(size, format);
    image.fill(bottom);
    QPainter(&image).fillRect(0, 0, size.width(), size.height() / 2, top);
    return QPixmap::fromImage(image);
}

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { StartAfresh(); }

    // First, before anything else in this test loads a picture the usual way.
    void theWindowsLoadNoImageFormatPlugin() {
#ifdef Q_OS_LINUX
        for (const char* name :
             {"main_background", "games_background", "button_cod", "button_coduo", "icon"})
            QVERIFY(!Picture(QStringLiteral(":/art/%1.png").arg(QLatin1String(name))).isNull());
        frmMain::Instance();
        frmGames::Instance();
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY2(!mapped.contains("/imageformats/"), "an image format plugin was loaded");
#else
        QSKIP("reads the process's memory map as Linux shows it");
#endif
    }

    void readsEachPictureAsQtDoes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("editor background") << ":/art/main_background.png" << QSize(600, 254);
        QTest::newRow("dialog background") << ":/art/games_background.png" << QSize(580, 280);
        QTest::newRow("Call of Duty button") << ":/art/button_cod.png" << QSize(248, 58);
        QTest::newRow("United Offensive button") << ":/art/button_coduo.png" << QSize(255, 88);
        QTest::newRow("window icon") << ":/art/icon.png" << QSize(32, 32);
    }
    void readsEachPictureAsQtDoes() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QPixmap picture = Picture(path);
        QCOMPARE(picture.size(), size);
        QCOMPARE(LargestDifference(picture.toImage(), QImage(path)), 0);
    }

    void aPictureThatIsNotThereIsNull() {
        QVERIFY(Picture(QStringLiteral(":/art/missing.png")).isNull());
        QVERIFY(Stretched(QPixmap(), QSize(10, 10)).isNull());
    }

    void aPictureOfTheRightSizeIsKept() {
        const QPixmap picture = Picture(QStringLiteral(":/art/icon.png"));
        QCOMPARE(Stretched(picture, picture.size()).cacheKey(), picture.cacheKey());
    }

    // Qt's own smooth scaling is what the label would do; the stretch must not show.
    void looksLikeQtsSmoothScaling_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("editor background onto its label")
            << ":/art/main_background.png" << QSize(600, 280) << 2;
        QTest::newRow("both ways") << ":/art/main_background.png" << QSize(700, 300) << 2;
        QTest::newRow("small picture much larger") << ":/art/icon.png" << QSize(120, 90) << 6;
        QTest::newRow("made smaller") << ":/art/button_coduo.png" << QSize(48, 40) << 0;
        QTest::newRow("wider but lower") << ":/art/main_background.png" << QSize(700, 200) << 0;
    }
    void looksLikeQtsSmoothScaling() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, tolerance);
        const QPixmap picture = Picture(path);
        const QImage expected =
            picture.toImage().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const int difference = LargestDifference(Stretched(picture, size).toImage(), expected);
        QVERIFY2(difference >= 0 && difference <= tolerance,
                 qPrintable(QString::number(difference)));
    }

    // Read straight into the stretched image or not, the result is the same.
    void stretchedPictureIsThePictureStretched_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("editor background onto its label")
            << ":/art/main_background.png" << QSize(600, 280);
        QTest::newRow("one row taller") << ":/art/main_background.png" << QSize(600, 255);
        QTest::newRow("twice as tall") << ":/art/button_cod.png" << QSize(248, 116);
        QTest::newRow("wider too") << ":/art/main_background.png" << QSize(700, 300);
        QTest::newRow("lower") << ":/art/main_background.png" << QSize(600, 200);
        QTest::newRow("as it is") << ":/art/icon.png" << QSize(32, 32);
    }
    void stretchedPictureIsThePictureStretched() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage expected = Stretched(Picture(path), size).toImage();
        QCOMPARE(expected.size(), size);
        QCOMPARE(LargestDifference(StretchedPicture(path, size).toImage(), expected), 0);
    }

    void stretchedPictureOfAPictureWithAlpha() {
        TempDir dir;
        const QString path = QString::fromStdString((dir.path() / "bands.png").string());
        QImage bands(QSize(5, 6), QImage::Format_ARGB32);
        bands.fill(QColor(255, 0, 0, 128));
        for (int y = 3; y < 6; ++y) {
            for (int x = 0; x < 5; ++x)
                bands.setPixelColor(x, y, Qt::blue);
        }
        QVERIFY(bands.save(path, "PNG"));
        const QImage stretched = StretchedPicture(path, QSize(5, 20)).toImage();
        QCOMPARE(LargestDifference(stretched, Stretched(Picture(path), QSize(5, 20)).toImage()), 0);
        QCOMPARE(qAlpha(stretched.pixel(2, 0)), 128);
        QCOMPARE(qAlpha(stretched.pixel(2, 19)), 255);
    }

    void stretchedPictureThatIsNotThereIsNull() {
        QVERIFY(StretchedPicture(QStringLiteral(":/art/missing.png"), QSize(10, 20)).isNull());
    }

    // Two bands stay two bands, with a blend only where they meet, whatever the pixel format.
    void blendsOnlyWhereColoursMeet_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("opaque") << int(QImage::Format_RGB32);
        QTest::newRow("with alpha") << int(QImage::Format_ARGB32_Premultiplied);
    }
    void blendsOnlyWhereColoursMeet() {
        QFETCH(int, format);
        const QColor red(255, 0, 0);
        const QColor blue(0, 0, 255);
        const QImage stretched =
            Stretched(TwoBands(QSize(3, 10), red, blue, QImage::Format(format)), QSize(7, 40))
                .toImage();
        QCOMPARE(stretched.size(), QSize(7, 40));
        int previousRed = 256;
        for (int y = 0; y < stretched.height(); ++y) {
            const QColor colour = stretched.pixelColor(3, y);
            QCOMPARE(colour.green(), 0);
            QCOMPARE(colour.alpha(), 255);
            QVERIFY(std::abs(colour.red() + colour.blue() - 255) <= 1);
            QVERIFY(colour.red() <= previousRed); // red only ever gives way to blue
            previousRed = colour.red();
            for (int x = 0; x < stretched.width(); ++x)
                QCOMPARE(stretched.pixelColor(x, y), colour); // no stripes across
        }
        QCOMPARE(stretched.pixelColor(0, 0), red);
        QCOMPARE(stretched.pixelColor(0, 39), blue);
    }

    void seeThroughStaysSeeThrough() {
        QImage clear(QSize(4, 4), QImage::Format_ARGB32_Premultiplied);
        clear.fill(Qt::transparent);
        const QImage stretched = Stretched(QPixmap::fromImage(clear), QSize(9, 9)).toImage();
        for (int y = 0; y < stretched.height(); ++y) {
            for (int x = 0; x < stretched.width(); ++x)
                QCOMPARE(qAlpha(stretched.pixel(x, y)), 0);
        }
    }

    // The editor's background needs no stretching at paint time, and it shows as before.
    void theEditorsBackgroundIsStretchedBeforeItsFirstPaint() {
        frmMain& editor = frmMain::Instance();
        QLabel& background = *editor.Plocha;
        QVERIFY(background.hasScaledContents());
        QCOMPARE(background.pixmap().size(), background.size());

        const QImage shown = background.grab().toImage();
        const QImage asTheLabelWouldStretch =
            Picture(QStringLiteral(":/art/main_background.png"))
                .toImage()
                .scaled(background.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(LargestDifference(shown, asTheLabelWouldStretch) <= 2);
    }
};

QTEST_MAIN(PictureTest)
#include "PictureTest.moc"
