#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

/// The splash window's pictures, drawn once from their SVG sources in app/icons/ by
/// make-splash-pictures at the sizes the window shows them, and kept beside the sources as PNG.
/// The logo's lettering made drawing it from SVG cost several million instructions on every
/// start. The toolbar pictures and the window icon stay SVG: their few shapes draw faster than
/// PNG files of them decode.
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

/// "logo-321x95.png".
inline QString fileName(const char *source, QSize size)
{
    return QStringLiteral("%1-%2x%3.png").arg(QLatin1String(source)).arg(size.width()).arg(size.height());
}

inline QString resource(const char *source, QSize size)
{
    return QStringLiteral(":/icons/") + fileName(source, size);
}

/// The picture at size (device-independent pixels) for a screen of the given density: the
/// drawing of twice the size on denser screens.
inline QPixmap readyPixmap(const char *source, QSize size, qreal density)
{
    const int factor = density > 1 ? 2 : 1;
    QPixmap pixmap(resource(source, size * factor));
    pixmap.setDevicePixelRatio(factor);
    return pixmap;
}

/// The SVG source drawn by Qt's SVG icon engine at size, as the window would draw it itself.
inline QImage drawSource(const QString &svgPath, QSize size)
{
    return QIcon(svgPath).pixmap(size, 1.0).toImage();
}

} // namespace splash
