#pragma once

#include <QFont>

class QLabel;

/// "ＭＳ Ｐゴシック" is the font the windows are laid out for; on Linux it resolves to IPAPGothic
/// when that is installed.
inline const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");

void installFontSubstitutions();
QFont msPGothic(qreal pointSize);

/// Gives the label font, narrowed where the label's text would not fit its width: a number label
/// shows its whole number in its place, however many digits it has.
void fitTextToWidth(QLabel *label, const QFont &font);
