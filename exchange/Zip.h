#pragma once

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

/// Why writing or reading back stopped. None of its fields set: it did not.
struct Problem
{
    int error = 0; ///< the system's error number
    bool writing = true; ///< whether error came from writing (the words for it differ)
    QString library; ///< libarchive's own words, when it gives no error number
    QString differing; ///< the entry whose stored copy is not the file given

    bool failed() const { return error != 0 || !library.isNull() || !differing.isNull(); }
};

struct Functions
{
    /// Writes the entries as a zip into fd.
    Problem (*write)(int fd, const QList<Entry> &entries);
    /// Reads the zip in fd back from its start and compares it with the entries: the same names
    /// in the same order, regular files, the same bytes and modification times (in seconds).
    Problem (*verify)(int fd, const QList<Entry> &entries);
};

/// What the module exports as FunctionsName.
using GetFunctions = const Functions *(*)();
inline constexpr char Module[] = "crooners-zip";
inline constexpr char FunctionsName[] = "crooners_zipFunctions";

} // namespace zip
