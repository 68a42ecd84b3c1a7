#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

/// The splash window's pictures: drawn once from SVG by make-splash-pictures and kept beside
/// their sources as PNG, plainly and at twice the density ("@2x", which QIcon picks by itself).
namespace splash {

struct Picture
{
    const char *source; ///< the SVG in app/icons/
    QSize size; ///< in device-independent pixels, as the window shows it
};

inline constexpr Picture Logo { "logo.svg", QSize(321, 95) };
inline constexpr Picture AppIcon { "app.svg", QSize(32, 32) };
inline constexpr Picture Pictures[] { Logo, AppIcon };

/// "logo.png", or "logo@2x.png" at density 2.
inline QString pictureFileName(const Picture &picture, int density)
{
    QString name = QString::fromLatin1(picture.source);
    name.chop(4);
    return name + (density == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(density));
}

/// The resource the window loads: the plain PNG, its "@2x" sibling found by QIcon.
inline QString pictureResource(const Picture &picture)
{
    return QStringLiteral(":/icons/") + pictureFileName(picture, 1);
}

/// The SVG drawn by Qt's SVG icon engine at size × density pixels.
inline QImage drawSource(const QString &svgPath, QSize size, int density)
{
    QImage image = QIcon(svgPath).pixmap(size, qreal(density)).toImage();
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace splash
