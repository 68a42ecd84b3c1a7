#pragma once

#include "textfile/Failure.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

class SharedTables;

/// One CSV file an export wrote.
struct CsvFileWritten
{
    QString name; ///< "outings.csv", "songs.csv" or "artists.csv"
    int rows = 0; ///< data rows, the header row not counted

    bool operator==(const CsvFileWritten &) const = default;
};

/// "outings.csv", "songs.csv", "artists.csv": the files an export writes.
QStringList csvFileNames();

/// The files of csvFileNames() that exist in target already, which an export would replace.
QStringList existingCsvFiles(const QDir &target);

/// Writes the diary's outings (one row per song sung, one for an outing without songs), the song
/// catalogue and the artist catalogue into target as UTF-8 CSV with a byte-order mark, RFC 4180
/// quoting and CR LF line ends, replacing files of those names, all three or none. A folder that
/// is missing or cannot be written is refused with nothing written. The files written go in
/// *written, in the order of csvFileNames(); a failure is ExportFailed, naming the file, or the
/// folder's path, that could not be written, every file of the folder then as it was.
textfile::Failure writeCsvFiles(
    const SharedTables &tables, const QDir &target, QList<CsvFileWritten> *written = nullptr);
