#pragma once

#include <QByteArray>
#include <QString>

/// Code page 932 (Windows Shift_JIS), converted strictly as glibc's iconv converts it, from tables
/// made from iconv (Cp932Table.h).
///
/// Bytes that are not valid code page 932 are never replaced: each one decodes to the lone
/// surrogate U+DC00 + byte value and encodes back to the same byte, so a damaged file survives a
/// rewrite without losing anything more.
namespace cp932 {

/// Decodes bytes; *damaged is set when any byte had to be held as a surrogate.
QString decode(const QByteArray &bytes, bool *damaged = nullptr);

/// Whether bytes decode with no byte held, as decode would find, without building the text.
bool decodesCleanly(const QByteArray &bytes);

/// Maps the look-alikes that Linux input methods produce (U+301C WAVE DASH and friends) to the
/// code page 932 character that reads back as itself.
QString normaliseLookAlikes(const QString &text);

/// The first character (one code point, as text) that cannot be written in code page 932 after
/// look-alike mapping, or an empty string when all of text can be written. Held bytes of a
/// damaged file count as writable.
QString firstUnencodable(const QString &text);

/// Encodes text after look-alike mapping. Returns false, and sets *unencodable to the offending
/// character, when some character cannot be written; *out is then unspecified.
bool encode(const QString &text, QByteArray *out, QString *unencodable = nullptr);

} // namespace cp932
