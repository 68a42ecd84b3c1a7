#pragma once

#include <QFont>

/// "ＭＳ Ｐゴシック" is the font the windows are laid out for; on Linux it resolves to IPAPGothic
/// when that is installed.
inline const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");

void installFontSubstitutions();
QFont msPGothic(qreal pointSize);
