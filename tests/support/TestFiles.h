#pragma once

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// File helpers shared by the tests. They assert nothing themselves: callers QVERIFY what they
// return, so that a failure is reported at the line that needed the file.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

namespace testfiles {

/// The bytes of a file; a file that is missing or cannot be read gives none.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray fileBytes(const QDir &folder, const QString &name)
{
    return readBytes(folder.filePath(name));
}

/// Creates or replaces a file; false unless every byte was written.
inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool putFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    return writeBytes(folder.filePath(name), bytes);
}

/// The path of a file or folder under tests/data.
inline QString testDataPath(const QString &relativePath)
{
    return QStringLiteral(CROONER_TEST_DATA "/") + relativePath;
}

/// The bytes of a file under tests/data. A missing one stops the run: no test can mean it.
inline QByteArray testData(const QString &relativePath)
{
    QFile file(testDataPath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(relativePath));
    return file.readAll();
}

/// Copies a file under tests/data to the given path, which must not exist yet.
inline bool copyTestData(const QString &relativePath, const QString &to)
{
    return QFile::copy(testDataPath(relativePath), to);
}

/// Writes a new file until the disk is full; true when it stopped for that reason.
inline bool fillDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) { }
    const int error = errno;
    ::close(fd);
    return error == ENOSPC;
}

} // namespace testfiles
