#include "textfile/FolderLock.h"

FolderLock::FolderLock(const QDir &folder)
    : m_file(folder.filePath(FileName))
{
    // A lock is stale only when its process is gone: any age limit would let a second start take
    // the folder from a program that has simply been running for long.
    m_file.setStaleLockTime(0);
    if (m_file.tryLock(0))
        m_outcome = Outcome::Locked;
    else if (m_file.error() == QLockFile::LockFailedError)
        m_outcome = Outcome::HeldElsewhere;
}
