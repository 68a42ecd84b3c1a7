#pragma once

#include "textfile/Failure.h"

#include <QDir>

/// Keeps a data folder for one running program: an flock(2) on a lock file in the folder, held
/// while the object lives. The kernel drops it with its process however that ends, so a lock file
/// left behind, whatever it holds, is simply taken over. Qt's QLockFile, with which earlier
/// versions locked the folder, takes the same lock, so a running earlier version holds the folder.
class FolderLock
{
public:
    enum class Outcome
    {
        Locked,
        HeldElsewhere, ///< a running program holds the folder
        NotAFile, ///< a folder or something else that is no file has the lock file's name
        Unlockable ///< the folder cannot be written, or no lock file can be made there
    };

    static inline const QString FileName = QStringLiteral(".crooners-diary.lock");

    /// Tries the lock once, without waiting.
    explicit FolderLock(const QDir &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    Outcome outcome() const { return m_outcome; }
    /// Why the run saves nothing, for NotAFile and Unlockable; none otherwise.
    textfile::Failure readOnlyReason() const;

private:
    bool tryLock(const QString &lockFile);

    int m_fd = -1;
    Outcome m_outcome = Outcome::Unlockable;
    int m_error = 0;
};
