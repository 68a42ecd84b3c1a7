#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;
class QSaveFile;

#include <optional>
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

struct ReplaceFailure
{
    int error = 0; ///< the system error number
    QString backupCopy; ///< the copy being made when it failed, relative to the data folder; empty for the file itself
};

/// Opens file (unbuffered), writes bytes into it and syncs them to disk, putting the status of the
/// file written in *written when asked; 0, or the system error with the writing cancelled. The
/// bytes take the file's name only at file.commit(), whose own sync result Qt ignores.
int writeSynced(QSaveFile &file, const QByteArray &bytes, struct stat *written = nullptr);

/// The error of a failed file operation: the one Qt names, else savedErrno of the failing call.
int errorOf(const QFileDevice &file, int savedErrno);

/// Makes the folder's entries (a rename, a new file) durable; 0 or the system error.
int syncFolder(const QString &folder);

/// Reads the whole file into bytes; 0, or the system error.
int readFileBytes(const QString &path, QByteArray &bytes);

/// Replaces the file at path with bytes, every byte synced to disk before it returns, and puts the
/// status of the new file in *written when asked. With keepBackups, and when the file exists, its
/// old content is first kept in a dated copy in the backup folder and, as a second name of that
/// copy, in the file plus ".bak". On failure every file is as it was before the call: the file,
/// its ".bak" and the backup folder, and no temporary file remains.
std::optional<ReplaceFailure> replaceFile(
    const QString &path, const QByteArray &bytes, bool keepBackups, struct stat *written = nullptr);

} // namespace textfile
