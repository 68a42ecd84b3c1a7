#include "toolkit/Fonts.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

void installFontSubstitutions()
{
    // Debian's fontconfig maps neither name to an installed font by itself.
    QFont::insertSubstitution(MsPGothic, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
}

QFont msPGothic(qreal pointSize)
{
    QFont font(MsPGothic);
    font.setPointSizeF(pointSize);
    return font;
}

void fitTextToWidth(QLabel *label, const QFont &font)
{
    QFont fitted = font;
    const int width = QFontMetrics(font).horizontalAdvance(label->text());
    if (width > label->width())
        fitted.setStretch(std::max(1, int(QFont::Unstretched) * label->width() / width));
    label->setFont(fitted);
}
