#pragma once

#include <QDir>
#include <QLockFile>

/// Keeps a data folder for one running program: a lock file in the folder, held while the object
/// lives. The lock of a program that ended without removing it (a crash) is taken over.
class FolderLock
{
public:
    enum class Outcome
    {
        Locked,
        HeldElsewhere, ///< a running program holds the folder
        Unlockable ///< no lock file can be made there, as in a read-only folder
    };

    static inline const QString FileName = QStringLiteral(".crooners-diary.lock");

    /// Tries the lock once, without waiting.
    explicit FolderLock(const QDir &folder);

    Outcome outcome() const { return m_outcome; }

private:
    QLockFile m_file;
    Outcome m_outcome = Outcome::Unlockable;
};
