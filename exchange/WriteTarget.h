#pragma once

#include <QString>

/// Checks and syncs shared by the writers of exported files: they write into a folder the user
/// chose, never into the data files.
namespace exchange {

/// 0 when new files may be made in folder, or the system error telling why not. A folder that is
/// missing or is no folder is ENOTDIR, so that the user reads "フォルダが見つかりません". Root is
/// refused where the owner's write bit is off, as the data files are.
int folderRefusal(const QString &folder);

/// 0 when the file at path may be replaced (or is missing), or the system error telling why not.
int fileRefusal(const QString &path);

/// The folder's path as the user reads it.
QString shownPath(const QString &path);

} // namespace exchange
