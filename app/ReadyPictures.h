#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QResource>
#include <QSize>
#include <QString>

/// The program's own pictures (the splash window's logo and icon, the toolbar's pictures and the
/// window icon), drawn once from their SVG sources in app/icons/ by make-ready-pictures at the
/// sizes they are shown, and kept beside the sources as bare pixels: premultiplied RGBA, four
/// bytes a pixel in that order, row after row, stored in the resources uncompressed. They are
/// shown as they lie, with nothing to decode or draw at start: drawing them from SVG loads Qt's
/// SVG icon engine, and even PNG files must be inflated, both a part of the start one can measure
/// (docs/performance.md).
namespace pictures {

struct Drawing
{
    const char *source; ///< the SVG's name without ".svg"
    QSize size; ///< in pixels
};

inline constexpr QSize Logo(321, 95);
inline constexpr QSize SplashIcon(32, 32);
inline constexpr QSize ToolbarPicture(32, 32);

/// The toolbar's pictures, by source.
inline QList<const char *> toolbarSources()
{
    return { "new", "register", "analysis", "singer", "settings", "help", "end" };
}

/// The sizes the window system is given the window icon at, as Qt gives a drawn one.
inline QList<QSize> windowIconSizes()
{
    return { QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128) };
}

/// Every drawing made: each picture also at twice the size for screens of twice the density.
inline QList<Drawing> drawings()
{
    QList<Drawing> all { { "logo", Logo }, { "logo", Logo * 2 } };
    for (const QSize size : windowIconSizes())
        all.append({ "app", size });
    for (const char *source : toolbarSources())
        all += { { source, ToolbarPicture }, { source, ToolbarPicture * 2 } };
    return all;
}

inline constexpr QImage::Format PixelFormat = QImage::Format_RGBA8888_Premultiplied;

/// "logo-321x95.rgba".
inline QString fileName(const char *source, QSize size)
{
    return QStringLiteral("%1-%2x%3.rgba").arg(QLatin1String(source)).arg(size.width()).arg(size.height());
}

inline QString resource(const char *source, QSize size)
{
    return QStringLiteral(":/icons/") + fileName(source, size);
}

/// The picture held by bytes, of size pixels; null when they are not one of that size.
inline QImage pictureOf(const QByteArray &bytes, QSize size)
{
    if (bytes.size() != qsizetype(size.width()) * size.height() * 4)
        return {};
    return QImage(
        reinterpret_cast<const uchar *>(bytes.constData()), size.width(), size.height(), size.width() * 4, PixelFormat);
}

/// The bytes that hold the picture.
inline QByteArray bytesOf(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(PixelFormat);
    QByteArray bytes;
    bytes.reserve(qsizetype(pixels.width()) * pixels.height() * 4);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), qsizetype(pixels.width()) * 4);
    return bytes;
}

/// The kept drawing of the size in pixels.
inline QPixmap keptPixmap(const char *source, QSize size)
{
    // Stored uncompressed, the bytes are the resource's own, not a copy.
    const QByteArray bytes = QResource(resource(source, size)).uncompressedData();
    return QPixmap::fromImage(pictureOf(bytes, size));
}

/// The picture at size (device-independent pixels) for a screen of the given density: the
/// drawing of twice the size on denser screens.
inline QPixmap readyPixmap(const char *source, QSize size, qreal density)
{
    const int factor = density > 1 ? 2 : 1;
    QPixmap pixmap = keptPixmap(source, size * factor);
    pixmap.setDevicePixelRatio(factor);
    return pixmap;
}

/// The picture at each of the sizes (in pixels) it is kept at; Qt takes the one that fits.
inline QIcon readyIcon(const char *source, const QList<QSize> &sizes)
{
    QIcon icon;
    for (const QSize size : sizes)
        icon.addPixmap(keptPixmap(source, size));
    return icon;
}

/// The SVG source drawn by Qt's SVG icon engine at size, as the window would draw it itself.
inline QImage drawSource(const QString &svgPath, QSize size)
{
    return QIcon(svgPath).pixmap(size, 1.0).toImage();
}

} // namespace pictures
