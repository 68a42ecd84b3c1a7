#pragma once

#include <QByteArray>
#include <QStringList>

namespace textfile {

struct DecodedLines
{
    QStringList lines;
    bool damaged = false; ///< some bytes were not code page 932 and are held as surrogates
    bool endsWithLineEnd = true; ///< false when the last line had no line end (an empty file counts as ended)
};

/// Decodes code page 932 bytes and splits them into lines at CR LF; a lone LF also ends a line.
/// A last line without a line end still counts; a final line end does not start an empty line.
DecodedLines splitLines(const QByteArray &bytes);

/// Each line followed by CR LF.
QString joinLines(const QStringList &lines);

} // namespace textfile
