// Writes the splash window's pictures as PNG files, drawn from their SVG sources by Qt's own SVG
// icon engine at the sizes the window shows them, once plainly and once for screens of twice the
// density, so that the first window a user sees draws ready pictures instead of parsing and
// rendering SVG (the logo's lettering most of all) on every start. Run after changing an SVG:
//   cmake --build BUILD --target splash-pictures
// test_main_window_windows compares the files with a fresh drawing of the SVG.

#include "app/SplashPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-splash-pictures ICON_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const splash::Picture &picture : splash::Pictures) {
        for (const int density : { 1, 2 }) {
            const QImage image = splash::drawSource(folder.filePath(picture.source), picture.size, density);
            const QString target = folder.filePath(splash::pictureFileName(picture, density));
            if (image.isNull() || !image.save(target, "PNG")) {
                std::fprintf(stderr, "could not make %s\n", qPrintable(target));
                return 1;
            }
        }
    }
    return 0;
}
