#pragma once

#include <QByteArray>
#include <QString>

namespace textfile {

/// The encoding a data file was read in. The program writes only code page 932; the others are
/// read so that a file saved by another editor shows correctly until it is next rewritten.
enum class Encoding
{
    Cp932,
    Utf8,
    Utf16
};

/// The encoding of a data file's bytes: UTF-8 or UTF-16 when a byte-order mark says so, UTF-8
/// when the bytes do not read cleanly as code page 932 but are well-formed UTF-8 holding some
/// character beyond ASCII, otherwise code page 932 (pure ASCII included).
Encoding encodingOf(const QByteArray &bytes);

/// Decodes the bytes of a data file in encodingOf(bytes), dropping a byte-order mark. Code page 932
/// holds undecodable bytes as cp932::decode does; in UTF-8 and UTF-16 they become U+FFFD. *damaged
/// is set when some bytes could not be decoded; *encoding to the encoding used.
QString decodeDataFile(const QByteArray &bytes, bool *damaged = nullptr, Encoding *encoding = nullptr);

} // namespace textfile
