#pragma once

#include "textfile/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>
#include <time.h>

/// Zip archives, written and read by the module crooners-zip, the only part of the program that
/// needs libarchive (see modules/Modules.h).
namespace zip {

/// One file to store.
struct Entry
{
    QString name; ///< stored in UTF-8 with the zip's UTF-8 flag
    QByteArray bytes;
    mode_t permissions = 0;
    timespec modified {};
};

struct Functions
{
    /// Writes the entries as a zip into fd; ZipWriteFailed when it stops (the archive not named).
    textfile::Failure (*write)(int fd, const QList<Entry> &entries);
    /// Reads the zip in fd back from its start and compares it with the entries: the same names
    /// in the same order, regular files, the same bytes and modification times (in seconds).
    /// ZipVerifyFailed or BackupReadFailed when reading stops, ZipDiffers for an entry that differs.
    textfile::Failure (*verify)(int fd, const QList<Entry> &entries);
    /// Reads every entry of the zip in fd, in order, into *entries: its name, bytes, permissions
    /// and time. Each entry is read whole and checked against the size and the CRC-32 the zip
    /// records; RestoreZipUnreadable (not named) when one differs or reading stops, RestoreZipForeign
    /// for an entry that is no regular file (a folder, a link).
    textfile::Failure (*read)(int fd, QList<Entry> *entries);
};

/// What the module exports as FunctionsName.
using GetFunctions = const Functions *(*)();
inline constexpr char Module[] = "crooners-zip";
inline constexpr char FunctionsName[] = "crooners_zipFunctions";

} // namespace zip
