#pragma once

#include "textfile/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

namespace textfile {

/// The folder inside the data folder that keeps dated copies of the data files.
inline const QString BackupFolderName = QStringLiteral("backup");
/// How many dated copies of each file are kept; the oldest go first.
inline constexpr int KeptDatedCopies = 20;
/// Endings of the hidden files a replacement works with: the new content before it takes the
/// file's place, and a second name for the old content until the new one is safely in place.
inline constexpr QLatin1StringView StagedSuffix(".saving");
inline constexpr QLatin1StringView PreviousSuffix(".previous");
/// The record, in the data folder, of a save of several files that has begun to put them in place.
inline const QString JournalName = QStringLiteral(".crooners-diary.journal");

/// One file to replace and, once replaced, the status of the file written.
struct FileChange
{
    QString path; ///< a symbolic link is followed: its target takes the new content, the link stays
    QByteArray bytes;
    /// Keep the old content, when the file exists, in a dated copy in the backup folder beside path
    /// and, as a second name of that copy, in path plus ".bak".
    bool keepBackups = false;
    struct stat written = {}; ///< set when the replacement succeeds
};

/// Replaces every file with its bytes, all or none: when it returns, every byte is on disk, or every
/// file is as it was (its ".bak" and the backup folder too) and no temporary file remains. With
/// a journal path and more than one file, a record of the replacements is made durable before the
/// first file takes its new content, so that a crash part way is finished at the next start
/// (finishInterruptedSave). Hard links are used where the file system has them, synced copies
/// where it does not (FAT, another disk). A failure names the path, as given, of the file whose
/// replacement failed: WriteFailed, or BackupCopyFailed or BackupFolderIsFile while keeping its
/// old content.
Failure replaceFiles(QList<FileChange> &changes, const QString &journal = {});

/// replaceFiles for one file.
Failure replaceFile(const QString &path, const QByteArray &bytes, bool keepBackups, struct stat *written = nullptr);

/// What the start of a run found of a save of several files that a crash cut short.
struct InterruptedSave
{
    enum class Outcome
    {
        None, ///< there was none, or it had reached its end
        Finished, ///< every file of it now holds its new content
        RolledBack, ///< its new content was not all there: every file holds its old content again
        Unreadable ///< its record could not be read; the files are as the crash left them
    };
    Outcome outcome = Outcome::None;
    QStringList files; ///< the files concerned, by name
    int error = 0; ///< for Unreadable, or when putting a file back failed
};

/// Finishes, or rolls back where it cannot be finished, the save recorded in journal, and removes the
/// record. Call it only while this program alone works on the folder.
InterruptedSave finishInterruptedSave(const QString &journal);

/// Makes the folder's entries (a rename, a new file) durable; 0 or the system error.
int syncFolder(const QString &folder);

/// Reads the whole file into bytes, with the status of the file as it was opened in *status when
/// asked; 0, or the system error.
int readFileBytes(const QString &path, QByteArray &bytes, struct stat *status = nullptr);

/// The file that path names once every symbolic link on the way is followed, in *target; 0, or
/// ELOOP for links that lead round in a circle and ENOENT for a link to nothing.
int followLinks(const QString &path, QString *target);

} // namespace textfile
