#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <QSize>
#include <QString>

/// The splash window's pictures, drawn once from their SVG sources in app/icons/ by
/// make-splash-pictures at the sizes the window shows them, and kept beside the sources as bare
/// pixels: premultiplied RGBA, four bytes a pixel in that order, row after row, stored in the
/// resources uncompressed. The window shows them as they lie, with nothing to decode or draw at
/// start: drawing the logo's lettering from SVG cost several million instructions, and decoding
/// the two pictures from PNG files still 7.5 million. The toolbar pictures and the window icon stay
/// SVG: their few shapes draw faster than PNG files of them decode.
namespace splash {

struct Drawing
{
    const char *source; ///< the SVG's name without ".svg"
    QSize size; ///< in pixels
};

inline constexpr QSize Logo(321, 95);
inline constexpr QSize Icon(32, 32);

/// Every drawing made: the logo and the icon, each also at twice the size for screens of twice
/// the density.
inline QList<Drawing> drawings()
{
    return { { "logo", Logo }, { "logo", Logo * 2 }, { "app", Icon }, { "app", Icon * 2 } };
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

/// The picture at size (device-independent pixels) for a screen of the given density: the
/// drawing of twice the size on denser screens.
inline QPixmap readyPixmap(const char *source, QSize size, qreal density)
{
    const int factor = density > 1 ? 2 : 1;
    // Stored uncompressed, the bytes are the resource's own, not a copy.
    const QByteArray bytes = QResource(resource(source, size * factor)).uncompressedData();
    QPixmap pixmap = QPixmap::fromImage(pictureOf(bytes, size * factor));
    pixmap.setDevicePixelRatio(factor);
    return pixmap;
}

/// The SVG source drawn by Qt's SVG icon engine at size, as the window would draw it itself.
inline QImage drawSource(const QString &svgPath, QSize size)
{
    return QIcon(svgPath).pixmap(size, 1.0).toImage();
}

} // namespace splash
