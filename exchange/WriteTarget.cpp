#include "exchange/WriteTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace exchange {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

/// The system's answer (access(2)), and for root also the owner's write bit, which root's writes
/// would pass over.
int writeRefusal(const QFileInfo &target)
{
    if (::access(native(target.absoluteFilePath()).constData(), W_OK) != 0)
        return errno;
    if (::geteuid() == 0 && !(target.permissions() & QFileDevice::WriteOwner))
        return EACCES;
    return 0;
}

} // namespace

int folderRefusal(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return ENOTDIR;
    return writeRefusal(info);
}

int fileRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    if (info.isDir())
        return EISDIR;
    return writeRefusal(info);
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace exchange
