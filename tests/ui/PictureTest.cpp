// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' pictures: read from the program's resources as Qt itself reads them, and the
// editor's background drawn at its label's size before its first paint.

#include "ui/Picture.h"

#include "UiTestSupport.h"
#include "ui/Backdrop.h"
#include "ui/ClickLabel.h"
#include "ui/EditorBackground.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
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

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { StartAfresh(); }

    // First, before anything else in this test loads a picture the usual way.
    void theWindowsLoadNoImageFormatPlugin() {
#ifdef Q_OS_LINUX
        for (const char* name :
             {"main_wordmark", "games_background", "button_cod", "button_coduo", "icon"})
            QVERIFY(!Picture(QStringLiteral(":/art/%1.png").arg(QLatin1String(name))).isNull());
        frmMain::instance();
        frmGames::instance();
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
        QTest::newRow("editor wordmark") << ":/art/main_wordmark.png" << QSize(120, 16);
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
    }

    // A row whose width is no multiple of the light's grid ends as a wider picture would.
    void aBackdropIsDrawnToItsLastPixel() {
        const Backdrop backdrop{.top = Qt::darkYellow,
                                .bottom = Qt::black,
                                .glowCentre = {60, 20},
                                .glowRadius = {50, 30},
                                .glowGain = 0.2,
                                .cloudCell = 15,
                                .cloudDepth = 0.1,
                                .shown = {5, 0, 90, 41},
                                .vignette = 0.4,
                                .grain = 2};
        const QImage wider = DrawBackdrop(QSize(104, 41), backdrop);
        for (const int width : {97, 99, 1})
            QCOMPARE(DrawBackdrop(QSize(width, 41), backdrop), wider.copy(0, 0, width, 41));
    }

    // The editor's background needs no stretching at paint time, and shows as drawn.
    void theEditorsBackgroundIsDrawnAtItsLabelsSize() {
        frmMain& editor = frmMain::instance();
        QLabel& background = *editor.Plocha;
        QVERIFY(background.hasScaledContents());
        QCOMPARE(background.pixmap().size(), background.size());
        QCOMPARE(LargestDifference(background.grab().toImage(), EditorBackground().toImage()), 0);
    }
};

QTEST_MAIN(PictureTest)
#include "PictureTest.moc"
