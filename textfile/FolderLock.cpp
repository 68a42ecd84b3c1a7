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
    // Not blocking, so that a pipe in the lock file's place cannot hold the start.
    const QByteArray path = QFile::encodeName(folder.filePath(FileName));
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    // The file stays, so in a folder shared by several users it may be another's, readable only;
    // a lock needs no more.
    if (m_fd < 0 && errno == EACCES)
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        m_error = errno;
        m_outcome = m_error == EISDIR ? Outcome::NotAFile : Outcome::Unlockable;
        return;
    }
    struct stat status;
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_outcome = Outcome::NotAFile;
    } else if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_outcome = Outcome::Locked;
        return;
    } else {
        m_error = errno;
        m_outcome = m_error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unlockable;
    }
    ::close(m_fd);
    m_fd = -1;
}

FolderLock::~FolderLock()
{
    // The file stays: a start that opened it before a removal could lock the removed file while
    // the next start locks a new one of the same name.
    if (m_fd >= 0)
        ::close(m_fd);
}
