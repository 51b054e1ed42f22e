// SPDX-License-Identifier: GPL-3.0-or-later
// tintwell_artgen draws the pictures that Tintwell carries: the editor's wordmark, the game
// dialog's background, the two game buttons and the icon. The build runs it and compiles its
// output into the program as Qt resources (see src/ui/artwork/CMakeLists.txt); it can also be run
// by hand:
//
//     tintwell_artgen [--icon-sizes 48,64,128,256] [--windows-icon <file.ico>] [<output folder>]
//
// It writes main_wordmark.png, games_background.png, button_cod.png, button_coduo.png and
// icon.png into the folder, plus icon_<size>.png for each size asked for (desktop icons).
// --windows-icon also writes the icon as a Windows icon file, which the Windows build puts into
// the program (cmake/WindowsResources.cmake); with it the folder may be left out. It needs no
// display: unless QT_QPA_PLATFORM says otherwise it uses Qt's offscreen platform. The lettering
// uses "Liberation Sans" (fonts-liberation); the same fonts give the same pixels.

#include "Artwork.h"
#include "IconFile.h"

#include <QCommandLineParser>
#include <QFontInfo>
#include <QGuiApplication>
#include <cstdio>

namespace {

void Complain(const QString& message) {
    std::fprintf(stderr, "tintwell_artgen: %s\n", qPrintable(message));
}

void WarnIfFontMissing(const QString& family) {
    const QString resolved = QFontInfo(QFont(family)).family();
    if (resolved != family)
        Complain(QString("warning: font \"%1\" is not installed, drawing with \"%2\"")
                     .arg(family, resolved));
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("Draws the pictures that Tintwell carries.");
    parser.addHelpOption();
    const QCommandLineOption iconSizesOption(
        "icon-sizes", "Also write icon_<size>.png for each of these sizes (e.g. 48,64,128,256).",
        "sizes");
    parser.addOption(iconSizesOption);
    const QCommandLineOption windowsIconOption(
        "windows-icon", "Also write the icon as a Windows icon file (.ico) to this path.", "file");
    parser.addOption(windowsIconOption);
    parser.addPositionalArgument("folder", "Where to write the pictures.", "[folder]");
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    // Only the Windows icon: the PNG pictures, desktop icons included, need a folder.
    const bool windowsIconOnly =
        parser.isSet(windowsIconOption) && folders.isEmpty() && !parser.isSet(iconSizesOption);
    if (folders.size() > 1 || (folders.isEmpty() && !windowsIconOnly)) {
        Complain("give exactly one output folder (see --help)");
        return 2;
    }
    if (parser.isSet(windowsIconOption)) {
        const QString error = WriteWindowsIcon(parser.value(windowsIconOption));
        if (!error.isEmpty()) {
            Complain(error);
            return 1;
        }
        if (windowsIconOnly)
            return 0;
    }

    std::vector<Picture> pictures = WindowPictures();
    if (parser.isSet(iconSizesOption)) {
        const auto sizes = ParseIconSizes(parser.value(iconSizesOption));
        if (!sizes) {
            Complain(QString("--icon-sizes takes whole numbers from %1 to %2, separated by "
                             "commas, not \"%3\"")
                         .arg(SmallestIconSize)
                         .arg(LargestIconSize)
                         .arg(parser.value(iconSizesOption)));
            return 2;
        }
        for (int size : *sizes)
            pictures.push_back(IconPicture(size));
    }

    WarnIfFontMissing("Liberation Sans");
    const QString error = WritePictures(pictures, folders.front());
    if (!error.isEmpty()) {
        Complain(error);
        return 1;
    }
    return 0;
}
