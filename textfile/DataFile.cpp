#include "textfile/DataFile.h"

#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace textfile {

namespace {

/// Absolute paths already copied to ".bak" in this run: only the first rewrite keeps a backup,
/// so the backup is the file as it was when the program started working on it.
QSet<QString> &backedUpFiles()
{
    static QSet<QString> files;
    return files;
}

QString foldAscii(const QString &text)
{
    QString folded = text;
    for (QChar &unit : folded) {
        if (unit >= u'A' && unit <= u'Z')
            unit = QChar(unit.unicode() + (u'a' - u'A'));
    }
    return folded;
}

QString permissionDenied()
{
    return QString::fromLocal8Bit(std::strerror(EACCES));
}

/// Refuses to write where the owner has taken write permission away, also when running as root,
/// who could otherwise replace a read-only file.
QString writeProtection(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists() && !(file.permissions() & QFileDevice::WriteOwner))
        return permissionDenied();
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    if (!(folder.permissions() & QFileDevice::WriteOwner))
        return permissionDenied();
    return {};
}

void syncFolder(const QString &folderPath)
{
    const QByteArray encoded = QFile::encodeName(folderPath);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    syncFolder(QFileInfo(path).absolutePath());
    return {};
}

QString backUpOnce(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (backedUpFiles().contains(absolute))
        return {};
    // A file this run creates has no earlier state; a later rewrite must not back up our own write.
    if (!QFileInfo::exists(absolute)) {
        backedUpFiles().insert(absolute);
        return {};
    }
    QFile original(absolute);
    if (!original.open(QIODevice::ReadOnly))
        return original.errorString();
    const QByteArray bytes = original.readAll();
    if (original.error() != QFileDevice::NoError)
        return original.errorString();
    const QString failure = writeAtomically(absolute + QLatin1String(".bak"), bytes);
    if (failure.isEmpty())
        backedUpFiles().insert(absolute);
    return failure;
}

} // namespace

QString resolveDataFile(const QDir &folder, const QString &name)
{
    const QString exact = folder.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QString folded = foldAscii(name);
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (foldAscii(entry) == folded)
            return folder.filePath(entry);
    }
    return exact;
}

ReadResult readDataFile(const QDir &folder, const QString &name)
{
    ReadResult result;
    QFile file(resolveDataFile(folder, name));
    if (!file.exists())
        return result;
    result.exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = file.errorString();
    return result;
}

SaveResult rewriteDataFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = resolveDataFile(folder, name);
    QString failure = writeProtection(path);
    if (failure.isEmpty())
        failure = backUpOnce(path);
    if (failure.isEmpty())
        failure = writeAtomically(path, bytes);
    return failure.isEmpty() ? SaveResult::saved() : SaveResult::writeFailed(failure);
}

namespace {

/// A line holding a line break would be read back as two lines.
QString lineBreakIn(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (QString lineBreak = firstLineBreak(line); !lineBreak.isEmpty())
            return lineBreak;
    }
    return {};
}

} // namespace

SaveResult writeLines(const QDir &folder, const QString &name, const QStringList &lines)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    return writeText(folder, name, joinLines(lines));
}

SaveResult writeText(const QDir &folder, const QString &name, const QString &text)
{
    QByteArray bytes;
    QString unencodable;
    if (!cp932::encode(text, &bytes, &unencodable))
        return SaveResult::unencodable(unencodable);
    return rewriteDataFile(folder, name, bytes);
}

SaveResult appendLines(const QDir &folder, const QString &name, const QStringList &lines)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    QByteArray added;
    QString unencodable;
    if (!cp932::encode(joinLines(lines), &added, &unencodable))
        return SaveResult::unencodable(unencodable);
    const ReadResult old = readDataFile(folder, name);
    if (!old.ok())
        return SaveResult::writeFailed(old.error);
    QByteArray bytes = old.bytes;
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    bytes += added;
    return rewriteDataFile(folder, name, bytes);
}

void resetBackupsForTesting()
{
    backedUpFiles().clear();
}

} // namespace textfile
