#include "textfile/FolderLock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FolderLock::FolderLock(const QDir &folder)
{
    // The lock file stays from run to run, so it opens even in a folder made read-only since:
    // the folder itself tells whether anything can be saved. Root may write almost anywhere, but
    // not where the folder's owner took the write permission away, as no save does.
    const QString folderPath = folder.absolutePath();
    if (::access(QFile::encodeName(folderPath).constData(), W_OK) != 0) {
        m_error = errno;
        return;
    }
    if (::geteuid() == 0 && !(QFileInfo(folderPath).permissions() & QFileDevice::WriteOwner)) {
        m_error = EACCES;
        return;
    }
    // An earlier version removes its lock file when it ends: a lock taken on the file just removed
    // holds nothing, so it is taken again on the file that has the name now.
    for (int attempt = 0; attempt < 3 && tryLock(folder.filePath(FileName)); ++attempt) { }
}

/// One try; true when it should be tried again.
bool FolderLock::tryLock(const QString &lockFile)
{
    // Not blocking, so that a pipe in the lock file's place cannot hold the start.
    const QByteArray path = QFile::encodeName(lockFile);
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    // The file stays, so in a folder shared by several users it may be another's, readable only;
    // a lock needs no more.
    if (m_fd < 0 && errno == EACCES)
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        m_error = errno;
        m_outcome = m_error == EISDIR ? Outcome::NotAFile : Outcome::Unlockable;
        return false;
    }
    struct stat status;
    struct stat named;
    bool again = false;
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_outcome = Outcome::NotAFile;
    } else if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        if (::stat(path.constData(), &named) == 0 && named.st_dev == status.st_dev && named.st_ino == status.st_ino) {
            m_outcome = Outcome::Locked;
            return false;
        }
        again = true;
    } else {
        m_error = errno;
        m_outcome = m_error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unlockable;
    }
    ::close(m_fd);
    m_fd = -1;
    return again;
}

FolderLock::~FolderLock()
{
    // The file stays: a start that opened it before a removal could lock the removed file while
    // the next start locks a new one of the same name.
    if (m_fd >= 0)
        ::close(m_fd);
}

textfile::Failure FolderLock::readOnlyReason() const
{
    switch (m_outcome) {
    case Outcome::Locked:
    case Outcome::HeldElsewhere:
        return textfile::done();
    case Outcome::NotAFile:
        return textfile::failure(textfile::Fault::ReadOnlyLockNotAFile, {}, 0, FileName);
    case Outcome::Unlockable:
        return textfile::failure(textfile::Fault::ReadOnlyUnlockable, {}, m_error);
    }
    return textfile::done();
}
