#pragma once

#include "textfile/TextEncoding.h"

#include <QStringList>

namespace textfile {

struct DecodedLines
{
    QStringList lines;
    bool damaged = false; ///< some bytes could not be decoded (see decodeDataFile)
};

/// Splits a data file's text into lines at CR LF, lone LF and lone CR. A last line without a line
/// end still counts; a final line end does not start an empty line.
DecodedLines splitLines(const DecodedText &decoded);

/// The lines of decoded text, split as splitLines splits them, as views into text: a reader that
/// keeps only parts of its lines need not copy every line first.
QList<QStringView> lineViews(QStringView text);

/// The first line break (CR or LF) in text, or an empty string.
QString firstLineBreak(QStringView text);

/// The first character that a one-line field of a data file cannot hold: a line break (it would
/// split the field into lines read as other fields) or a character code page 932 lacks. Empty
/// when the whole text can be stored.
QString firstUnstorable(const QString &text);

/// Each line followed by CR LF.
QString joinLines(const QStringList &lines);

} // namespace textfile
