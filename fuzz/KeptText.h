#pragma once

#include "textfile/Cp932.h"

#include <QByteArray>
#include <QString>

/// What code page 932 keeps of text that it can hold: the text written and read back. Look-alike
/// characters come back in its forms, and the few characters beyond U+FFFF that the converter
/// writes nothing for do not come back.
inline QString keptText(const QString &text)
{
    QByteArray bytes;
    return cp932::encode(text, &bytes) ? cp932::decode(bytes, nullptr) : text;
}
