// Writes the program's ready pictures (app/ReadyPictures.h): each SVG source drawn by Qt's own
// SVG icon engine at the sizes the program shows it, as bare pixels beside the sources. Run after
// changing an SVG source in app/icons/:
//   cmake --build BUILD --target ready-pictures
// test_main_window_windows compares the files with a fresh drawing of their sources.

#include "app/ReadyPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-ready-pictures ICON_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const pictures::Drawing &drawing : pictures::drawings()) {
        const QImage image = pictures::drawSource(
            folder.filePath(QLatin1String(drawing.source) + QLatin1String(".svg")), drawing.size);
        const QString target = folder.filePath(pictures::fileName(drawing.source, drawing.size));
        QSaveFile file(target);
        if (image.isNull() || !file.open(QIODevice::WriteOnly) || file.write(pictures::bytesOf(image)) < 0
            || !file.commit()) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
