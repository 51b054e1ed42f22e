// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures the windows carry: compiled in as resources, at their exact sizes, and looking
// the part (dark backgrounds that keep the labels legible, light lettering on black buttons, an
// icon in the name colours). Also the generator's own options and file writing.

#include "Artwork.h"

#include "Icon.h"
#include "support/TestPrefix.h"
#include "ui/Backdrop.h"
#include "ui/EditorBackground.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

Q_DECLARE_METATYPE(std::optional<std::vector<int>>)

namespace {

QImage Load(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The editor draws its background at start rather than carrying it as a picture.
QImage EditorBackgroundImage() {
    return EditorBackground().toImage().convertToFormat(QImage::Format_RGB32);
}

int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

bool IsOpaque(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) != 255)
                return false;
    return true;
}

// Relative luminance as the WCAG contrast formula defines it, 0 (black) to 1 (white).
double Luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

double ContrastRatio(QRgb a, QRgb b) {
    const double lighter = std::max(Luminance(a), Luminance(b));
    const double darker = std::min(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

QRgb BrightestIn(const QImage& image, const QRect& area) {
    QRgb brightest = qRgb(0, 0, 0);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Luminance(image.pixel(x, y)) > Luminance(brightest))
                brightest = image.pixel(x, y);
    return brightest;
}

struct MeanColour {
    double red = 0, green = 0, blue = 0;
};

MeanColour MeanOver(const QImage& image, const QRect& area) {
    MeanColour mean;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            mean.red += qRed(pixel);
            mean.green += qGreen(pixel);
            mean.blue += qBlue(pixel);
        }
    const double count = double(area.width()) * area.height();
    return {mean.red / count, mean.green / count, mean.blue / count};
}

// Where a rectangle of the editor's client area lies on its background, which starts 40 pixels
// left of the client area.
QRect MainPictureArea(const QRect& client) {
    return client.translated(40, 0);
}

// The dialog shows its background at its own size, 8 pixels left of the client area.
QRect GamesPictureArea(const QRect& client) {
    return client.translated(8, 0);
}

bool IsLettering(QRgb pixel) {
    return Luminance(pixel) > 0.3;
}

// Bands of rows that hold lettering, separated by rows without any: one per line of text.
int LetteringBands(const QImage& button) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < button.height(); ++y) {
        bool rowHasLettering = false;
        for (int x = 0; x < button.width() && !rowHasLettering; ++x)
            rowHasLettering = IsLettering(button.pixel(x, y));
        if (rowHasLettering && !inBand)
            ++bands;
        inBand = rowHasLettering;
    }
    return bands;
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void resourceHasItsExactSize_data();
    void resourceHasItsExactSize();
    void resourceIsWhatTheGeneratorDraws_data();
    void resourceIsWhatTheGeneratorDraws();
    void backgroundIsDarkInTheWindowColour_data();
    void backgroundIsDarkInTheWindowColour();
    void labelsStayLegibleOverTheBackground_data();
    void labelsStayLegibleOverTheBackground();
    void buttonIsLightLetteringOnBlack_data();
    void buttonIsLightLetteringOnBlack();
    void iconShowsEveryNameColour_data();
    void iconShowsEveryNameColour();
    void iconSizesAreParsed_data();
    void iconSizesAreParsed();
    void writesEveryPictureIntoTheFolder();
    void reportsAFolderItCannotCreate();
    void refusesAPictureDrawnAtTheWrongSize();
};

void ArtworkTest::resourceHasItsExactSize_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("minimumColours");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("editor wordmark") << ":/art/main_wordmark.png" << QSize(120, 16) << 8 << false;
    QTest::newRow("games background")
        << ":/art/games_background.png" << QSize(580, 280) << 200 << true;
    QTest::newRow("Call of Duty button") << ":/art/button_cod.png" << QSize(248, 58) << 40 << true;
    QTest::newRow("United Offensive button")
        << ":/art/button_coduo.png" << QSize(255, 88) << 40 << true;
    QTest::newRow("icon") << ":/art/icon.png" << QSize(32, 32) << 16 << true;
}

void ArtworkTest::resourceHasItsExactSize() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, minimumColours);
    QFETCH(bool, opaque);
    const QImage picture(path);
    QVERIFY2(!picture.isNull(), qPrintable(path + " is not in the program's resources"));
    QCOMPARE(picture.size(), size);
    QCOMPARE(IsOpaque(picture), opaque);
    QVERIFY2(DistinctColours(Load(path)) >= minimumColours, "the picture is nearly blank");
}

void ArtworkTest::resourceIsWhatTheGeneratorDraws_data() {
    QTest::addColumn<QString>("fileName");
    for (const Picture& picture : WindowPictures())
        QTest::newRow(qPrintable(picture.fileName)) << picture.fileName;
}

// Whether the resource is what the generator draws here. A cross build draws its resources with
// the build machine's generator, whose font engine shapes and shades lettering its own way: the
// lettering's pixels differ there, but not how much ink the picture holds, which stays within 5%.
bool DrawnAlike(const QImage& resource, const QImage& drawn) {
#if defined(TINTWELL_PICTURES_FROM_BUILD_MACHINE)
    if (resource.size() != drawn.size())
        return false;
    const auto ink = [](const QImage& image) {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qGray(image.pixel(x, y));
        return sum;
    };
    return std::abs(ink(resource) - ink(drawn)) <= 0.05 * std::max(ink(drawn), 1.0);
#else
    return resource == drawn;
#endif
}

// The build draws the resources with the current generator, and drawing is repeatable.
void ArtworkTest::resourceIsWhatTheGeneratorDraws() {
    QFETCH(QString, fileName);
    const auto& pictures = WindowPictures();
    const auto picture = std::find_if(pictures.begin(), pictures.end(),
                                      [&](const Picture& p) { return p.fileName == fileName; });
    QVERIFY(picture != pictures.end());
    const QImage drawn = picture->draw().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), picture->size);
    QVERIFY(DrawnAlike(Load(":/art/" + fileName), drawn));
    QVERIFY(picture->draw().convertToFormat(QImage::Format_RGB32) == drawn);
}

void ArtworkTest::backgroundIsDarkInTheWindowColour_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QRect>("visible");
    QTest::addColumn<bool>("olive"); // 404000 (main window), else 400000 (dialog)
    const QRect client(0, 0, 512, 279);
    QTest::newRow("main") << EditorBackgroundImage() << MainPictureArea(client) << true;
    QTest::newRow("games") << Load(":/art/games_background.png") << GamesPictureArea(client)
                           << false;
    Backdrop plain; // no glow, clouds, vignette or grain
    plain.top = plain.bottom = QColor(80, 80, 0);
    plain.shown = client;
    QTest::newRow("plain") << DrawBackdrop(client.size(), plain) << client << true;
}

void ArtworkTest::backgroundIsDarkInTheWindowColour() {
    QFETCH(QImage, picture);
    QFETCH(QRect, visible);
    QFETCH(bool, olive);
    QVERIFY(picture.rect().contains(visible));
    const MeanColour mean = MeanOver(picture, visible);
    QVERIFY2(mean.red > 30 && mean.red < 110, "not dark, or black");
    QVERIFY(mean.blue < 0.4 * mean.red);
    if (olive)
        QVERIFY(std::abs(mean.green - mean.red) < 0.15 * mean.red);
    else
        QVERIFY(mean.green < 0.4 * mean.red);
}

void ArtworkTest::labelsStayLegibleOverTheBackground_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QRect>("textArea"); // in picture pixels
    QTest::addColumn<QColor>("textColour");
    const QImage main = EditorBackgroundImage();
    const QColor labelGrey(0xC0, 0xC0, 0xC0);
    QTest::newRow("Code:") << main << MainPictureArea({16, 152, 49, 17}) << labelGrey;
    QTest::newRow("CFG path:") << main << MainPictureArea({16, 192, 89, 17}) << labelGrey;
    QTest::newRow("digits 0 to 7") << main << MainPictureArea({136, 128, 257, 17}) << labelGrey;
    QTest::newRow("prompt") << Load(":/art/games_background.png")
                            << GamesPictureArea({8, 16, 497, 41}) << QColor(0xE0, 0xE0, 0xE0);
}

// Text with transparent background stands directly on the picture: even its brightest pixel
// under the text must leave the contrast that legible text needs (4.5 : 1).
void ArtworkTest::labelsStayLegibleOverTheBackground() {
    QFETCH(QImage, picture);
    QFETCH(QRect, textArea);
    QFETCH(QColor, textColour);
    QVERIFY(picture.rect().contains(textArea));
    const double contrast = ContrastRatio(textColour.rgb(), BrightestIn(picture, textArea));
    QVERIFY2(contrast >= 4.5, qPrintable(QString("contrast only %1").arg(contrast)));
}

void ArtworkTest::buttonIsLightLetteringOnBlack_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("linesOfLettering");
    QTest::newRow("Call of Duty") << ":/art/button_cod.png" << 1;
    QTest::newRow("United Offensive") << ":/art/button_coduo.png" << 3; // title, star, subtitle
}

void ArtworkTest::buttonIsLightLetteringOnBlack() {
    QFETCH(QString, path);
    QFETCH(int, linesOfLettering);
    const QImage button = Load(path);
    QVERIFY(!button.isNull());
    const int w = button.width();
    const int h = button.height();
    // The edge meets the button's own black without a seam.
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QCOMPARE(button.pixel(corner), qRgb(0, 0, 0));

    int black = 0;
    int lettering = 0;
    int leftmost = w;
    int rightmost = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = button.pixel(x, y);
            if (qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16)
                ++black;
            if (IsLettering(pixel)) {
                ++lettering;
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    const int area = w * h;
    QVERIFY2(black > area / 2, "the picture is not on black");
    QVERIFY2(lettering > area / 25, "too little light lettering");
    QVERIFY2(rightmost - leftmost > w * 3 / 4, "the lettering does not span the button");
    QCOMPARE(LetteringBands(button), linesOfLettering);
}

void ArtworkTest::iconShowsEveryNameColour_data() {
    QTest::addColumn<QImage>("icon");
    QTest::addColumn<int>("size");
    QTest::newRow("window icon") << Load(":/art/icon.png") << 32;
    for (int size : {48, 64, 128, 256})
        QTest::newRow(qPrintable(QString("desktop %1").arg(size)))
            << DrawIcon(size).convertToFormat(QImage::Format_RGB32) << size;
}

// The colour bars carry the name colours 1 to 7 exactly, as the editor's swatches show them.
void ArtworkTest::iconShowsEveryNameColour() {
    QFETCH(QImage, icon);
    QFETCH(int, size);
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(IsOpaque(icon));
    const int barPixels = size * size / 64; // a bar covers at least 3 x 6 of the 32 x 32 grid
    for (const QRgb colour :
         {0xC00000u, 0x008000u, 0xFFFF00u, 0x0000C0u, 0x00FFFFu, 0xFF80FFu, 0xFFFFFFu}) {
        int found = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                found += (icon.pixel(x, y) & 0xFFFFFF) == colour;
        QVERIFY2(found >= barPixels, qPrintable(QString("colour %1 covers only %2 pixels")
                                                    .arg(colour, 6, 16, QChar('0'))
                                                    .arg(found)));
    }
}

void ArtworkTest::iconSizesAreParsed_data() {
    using Sizes = std::optional<std::vector<int>>;
    QTest::addColumn<QString>("list");
    QTest::addColumn<Sizes>("expected");
    QTest::newRow("desktop sizes") << "48,64,128,256" << Sizes(std::vector{48, 64, 128, 256});
    QTest::newRow("one size") << "48" << Sizes(std::vector{48});
    QTest::newRow("spaces around entries") << " 48 , 64 " << Sizes(std::vector{48, 64});
    QTest::newRow("the limits") << "16,1024" << Sizes(std::vector{16, 1024});
    QTest::newRow("empty") << "" << Sizes();
    QTest::newRow("empty entry") << "48,,64" << Sizes();
    QTest::newRow("trailing comma") << "48," << Sizes();
    QTest::newRow("too small") << "15" << Sizes();
    QTest::newRow("too large") << "1025" << Sizes();
    QTest::newRow("negative") << "-48" << Sizes();
    QTest::newRow("fraction") << "48.5" << Sizes();
    QTest::newRow("word") << "large" << Sizes();
    QTest::newRow("size with unit") << "48px" << Sizes();
}

void ArtworkTest::iconSizesAreParsed() {
    QFETCH(QString, list);
    QFETCH(std::optional<std::vector<int>>, expected);
    QVERIFY(ParseIconSizes(list) == expected);
}

void ArtworkTest::writesEveryPictureIntoTheFolder() {
    const TempDir temp;
    // A folder that does not exist yet: it is created.
    const QString folder = QString::fromStdString((temp.path() / "art" / "out").string());
    std::vector<Picture> pictures = WindowPictures();
    pictures.push_back(IconPicture(48));
    pictures.push_back(IconPicture(256));

    QCOMPARE(WritePictures(pictures, folder), QString());

    QStringList expected;
    for (const Picture& picture : pictures) {
        expected << picture.fileName;
        const QImage written(QDir(folder).filePath(picture.fileName));
        QVERIFY2(!written.isNull(), qPrintable(picture.fileName));
        QCOMPARE(written.size(), picture.size);
    }
    QStringList found = QDir(folder).entryList(QDir::Files);
    found.sort();
    expected.sort();
    QCOMPARE(found, expected); // nothing else, no temporary files left behind
}

void ArtworkTest::reportsAFolderItCannotCreate() {
    const TempDir temp;
    WriteBytes(temp.path() / "plain-file", "not a folder");
    const QString folder = QString::fromStdString((temp.path() / "plain-file" / "art").string());
    const QString error = WritePictures(WindowPictures(), folder);
    QVERIFY(error.contains(folder));
}

void ArtworkTest::refusesAPictureDrawnAtTheWrongSize() {
    const TempDir temp;
    const QString folder = QString::fromStdString(temp.path().string());
    const Picture misdrawn{"misdrawn.png", {32, 32}, [] { return DrawIcon(31); }};
    const QString error = WritePictures({misdrawn}, folder);
    QVERIFY(error.contains("misdrawn.png"));
    QVERIFY(!QFile::exists(QDir(folder).filePath("misdrawn.png")));
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
