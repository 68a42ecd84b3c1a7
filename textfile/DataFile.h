#pragma once

#include "textfile/SaveResult.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>

/// Data files in the data folder, named as the program names them ("カラオケ.TXT", "曲目.txt"…).
namespace textfile {

/// The path of a data file: the exact name when it exists, otherwise the file whose whole name
/// equals it with ASCII letters folded, otherwise the exact name (a new file).
QString resolveDataFile(const QDir &folder, const QString &name);

struct ReadResult
{
    bool exists = false;
    QByteArray bytes;
    QString error; ///< set when the file exists but could not be read
    bool ok() const { return error.isEmpty(); }
};

ReadResult readDataFile(const QDir &folder, const QString &name);

/// Replaces the file's content atomically (QSaveFile, then the folder is synced). Before the first
/// rewrite of a file in a run, its old content is copied to the same name plus ".bak".
/// A failure leaves the old file as it was.
SaveResult rewriteDataFile(const QDir &folder, const QString &name, const QByteArray &bytes);

/// Encodes the lines (each followed by CR LF) and rewrites the file with them. A line holding a
/// line break is refused like a character code page 932 lacks.
SaveResult writeLines(const QDir &folder, const QString &name, const QStringList &lines);

/// Encodes text, whose lines are already ended, and rewrites the file with it: for a writer that
/// builds a large file as one text instead of a list of lines.
SaveResult writeText(const QDir &folder, const QString &name, const QString &text);

/// Adds lines at the end of the file, creating it when missing. A last line without a line end is
/// ended first, so the new line never joins it. Done as an atomic rewrite of old bytes plus new.
SaveResult appendLines(const QDir &folder, const QString &name, const QStringList &lines);

/// Forgets which files were already backed up, so that tests can start a fresh "run".
void resetBackupsForTesting();

} // namespace textfile
