#pragma once

#include "textfile/SaveResult.h"

#include <QDir>
#include <QStringList>

/// A list file of one name per line: places "場所.txt", members "メンバー.txt", genres "ジャンル.txt".
/// Each whole line is one choice, nothing trimmed; the program only reads these files whole or
/// appends one line.
namespace choicelist {

inline const QString PlaceFile = QStringLiteral("場所.txt");
inline const QString MemberFile = QStringLiteral("メンバー.txt");
inline const QString GenreFile = QStringLiteral("ジャンル.txt");

/// The lines of the file; a missing file is an empty list.
QStringList read(const QDir &folder, const QString &fileName);

/// The choices held by the given file bytes.
QStringList parse(const QByteArray &bytes);

/// Appends name as one line, ending an unterminated last line first.
SaveResult append(const QDir &folder, const QString &fileName, const QString &name);

} // namespace choicelist
