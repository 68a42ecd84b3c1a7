#include "toolkit/Fonts.h"

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
