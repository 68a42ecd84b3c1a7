#pragma once

#include "tables/SharedTables.h"
#include "textfile/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>

/// The data files of the diary as the program names them; the folder may hold them under names
/// that differ in the case of ASCII letters (textfile::resolveDataFile).
QStringList diaryDataFileNames();

/// "カラオケ日記-yyyyMMdd-HHmmss.zip" for the time given.
QString suggestedBackupName(const QDateTime &time);

/// Stores every data file of the diary that exists in dataFolder in a zip archive at zipPath,
/// replacing a file of that name. Only the data files go in: not their ".bak" copies, not the
/// folder "backup" of dated copies, not other files. Entries are named as the files are on disk,
/// in UTF-8 with the zip's UTF-8 flag, and keep the files' modification times and permissions.
///
/// The archive is written to a hidden file beside zipPath and synced, then read back and compared
/// with the files' bytes, names and times, and only then renamed to zipPath. A failure leaves no
/// hidden file, and no file under zipPath's name unless the last step, the sync of the folder
/// after the rename, is what failed. Refused with nothing written when there is no data
/// file, when zipPath's folder is missing or cannot be written, and when zipPath would take the
/// name of a data file. The data files stored go in *stored, named as they are in the data folder;
/// a failure names the data file, the archive or the folder's path concerned.
textfile::Failure writeBackupArchive(const QDir &dataFolder, const QString &zipPath, QStringList *stored = nullptr);

/// The data files a backup archive at zipPath holds, in *files under the program's names, read and
/// checked whole before anything is put back: every entry must be a data file of the diary, once
/// ("..", an absolute path, a folder or another file makes RestoreZipForeign), of the size and
/// CRC-32 the zip records (RestoreZipUnreadable), and decode as text (RestoreUndecodable naming
/// the file, the zip in detail). A failure names the archive, but for RestoreUndecodable.
textfile::Failure readBackupArchive(const QString &zipPath, QList<RestoredFile> *files);
