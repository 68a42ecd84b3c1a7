// Writes the splash window's pictures (app/SplashPictures.h): each SVG source drawn by Qt's own
// SVG icon engine at the sizes the window shows it, as bare pixels beside the sources. Run after
// changing logo.svg or app.svg:
//   cmake --build BUILD --target splash-pictures
// test_main_window_windows compares the files with a fresh drawing of their sources.

#include "app/SplashPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

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
    for (const splash::Drawing &drawing : splash::drawings()) {
        const QImage image
            = splash::drawSource(folder.filePath(QLatin1String(drawing.source) + QLatin1String(".svg")), drawing.size);
        const QString target = folder.filePath(splash::fileName(drawing.source, drawing.size));
        QSaveFile file(target);
        if (image.isNull() || !file.open(QIODevice::WriteOnly) || file.write(splash::bytesOf(image)) < 0
            || !file.commit()) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
