#include "textfile/DataFile.h"

#include "textfile/Cp932.h"
#include "textfile/FileReplace.h"
#include "textfile/SystemReason.h"
#include "textfile/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace textfile {

namespace {

/// What identifies one version of a file on disk: a rename puts another inode in its place, a
/// write in place changes its size or modification time.
struct Stamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const struct stat &status)
{
    return { true, status.st_dev, status.st_ino, status.st_size,
        qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec };
}

Stamp stampOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return stampOf(status);
}

/// What this run knows of one data file.
struct FileState
{
    bool readFailed = false;
    Stamp stamp; ///< the version last read or written
    bool backedUp = false; ///< its old content is kept for this run
    Encoding encoding = Encoding::Cp932; ///< of the version last read; every write is code page 932
};

/// By absolute path. Files never read or written in this run have no entry and are not checked.
QHash<QString, FileState> &fileStates()
{
    static QHash<QString, FileState> states;
    return states;
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

/// 0 when this process may write target, or why not: the system's answer (access(2)), which for
/// root is yes to almost anything, so root is also refused where the owner's write bit is off
/// rather than replace a file or fill a folder its owner made read-only.
int writeRefusal(const QFileInfo &target, bool root)
{
    if (::access(QFile::encodeName(target.absoluteFilePath()).constData(), W_OK) != 0)
        return errno;
    if (root && !(target.permissions() & QFileDevice::WriteOwner))
        return EACCES;
    return 0;
}

/// Refuses to write a file, or into a folder, that this process may not write.
int writeProtection(const QString &path)
{
    const bool root = ::geteuid() == 0;
    const QFileInfo file(path);
    if (file.exists()) {
        if (const int error = writeRefusal(file, root))
            return error;
    }
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return ENOENT;
    return writeRefusal(folder, root);
}

/// Whether the file may be replaced: it was read, it can be written, and nobody else changed it
/// since. A missing or read-only folder is told as such rather than as a change.
SaveResult checkBeforeReplace(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const auto known = fileStates().constFind(QFileInfo(path).absoluteFilePath());
    if (known != fileStates().constEnd() && known->readFailed)
        return SaveResult::notRead(name);
    if (const int error = writeProtection(path))
        return SaveResult::writeFailed(systemReason(error, true), name);
    if (known != fileStates().constEnd() && stampOf(path) != known->stamp)
        return SaveResult::changedOnDisk(name);
    return SaveResult::saved();
}

/// Replaces the file at path, already checked, and remembers the version written.
SaveResult replaceChecked(const QString &path, const QByteArray &bytes)
{
    const QString name = QFileInfo(path).fileName();
    FileState &state = fileStates()[QFileInfo(path).absoluteFilePath()];
    if (const auto failure = replaceFile(path, bytes, !state.backedUp)) {
        QString reason = systemReason(failure->error, true);
        if (!failure->backupCopy.isEmpty())
            reason = QStringLiteral("バックアップを作れませんでした（") + failure->backupCopy + QStringLiteral("）：")
                + reason;
        return SaveResult::writeFailed(reason, name);
    }
    state.readFailed = false;
    state.backedUp = true;
    state.stamp = stampOf(path);
    state.encoding = Encoding::Cp932;
    return SaveResult::saved();
}

/// Encodes text for the file at path, naming the file when a character cannot be written.
SaveResult encodeFor(const QString &path, const QString &text, QByteArray *bytes)
{
    QString unencodable;
    if (!cp932::encode(text, bytes, &unencodable))
        return SaveResult::unencodable(unencodable, QFileInfo(path).fileName());
    return SaveResult::saved();
}

/// Code page 932 bytes with every line end made CR LF and the last line ended. A CR or LF byte is
/// never part of a two-byte character there, so nothing else changes.
QByteArray withCrLfLineEnds(const QByteArray &bytes)
{
    QByteArray result;
    result.reserve(bytes.size() + 2);
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char byte = bytes.at(i);
        if (byte != '\r' && byte != '\n') {
            result.append(byte);
            continue;
        }
        result.append("\r\n");
        if (byte == '\r' && i + 1 < size && bytes.at(i + 1) == '\n')
            ++i;
    }
    if (!result.isEmpty() && !result.endsWith('\n'))
        result.append("\r\n");
    return result;
}

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

bool sameDataFileName(const QString &a, const QString &b)
{
    return foldAscii(a) == foldAscii(b);
}

ReadResult readDataFile(const QDir &folder, const QString &name)
{
    ReadResult result;
    const QString path = resolveDataFile(folder, name);
    FileState &state = fileStates()[QFileInfo(path).absoluteFilePath()];
    state.readFailed = false;
    state.stamp = {};
    state.encoding = Encoding::Cp932;
    QFile file(path);
    if (!file.exists())
        return result;
    result.exists = true;
    const auto failed = [&](int error) {
        state.readFailed = true;
        result.error = systemReason(error, false);
        return result;
    };
    if (QFileInfo(path).isDir())
        return failed(EISDIR);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return failed(errorNumberOf(file.errorString()) ? errorNumberOf(file.errorString()) : errno);
    // The version is taken before reading: a change made while reading then shows at the next save.
    struct stat status;
    if (::fstat(file.handle(), &status) != 0)
        return failed(errno);
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(errorNumberOf(file.errorString()) ? errorNumberOf(file.errorString()) : EIO);
    state.stamp = stampOf(status);
    state.encoding = encodingOf(result.bytes);
    return result;
}

QList<ForeignFile> foreignEncodedFiles()
{
    QList<ForeignFile> files;
    for (auto state = fileStates().cbegin(); state != fileStates().cend(); ++state) {
        if (state->encoding != Encoding::Cp932) {
            files.append({ QFileInfo(state.key()).fileName(),
                state->encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16") });
        }
    }
    std::sort(files.begin(), files.end(), [](const ForeignFile &a, const ForeignFile &b) { return a.file < b.file; });
    return files;
}

SaveResult rewriteDataFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = resolveDataFile(folder, name);
    if (const SaveResult check = checkBeforeReplace(path); !check.ok())
        return check;
    return replaceChecked(path, bytes);
}

SaveResult writeLines(const QDir &folder, const QString &name, const QStringList &lines)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    return writeText(folder, name, joinLines(lines));
}

SaveResult writeText(const QDir &folder, const QString &name, const QString &text)
{
    const QString path = resolveDataFile(folder, name);
    QByteArray bytes;
    if (const SaveResult encoded = encodeFor(path, text, &bytes); !encoded.ok())
        return encoded;
    return rewriteDataFile(folder, name, bytes);
}

SaveResult appendLines(const QDir &folder, const QString &name, const QStringList &lines)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    const QString path = resolveDataFile(folder, name);
    QByteArray added;
    if (const SaveResult encoded = encodeFor(path, joinLines(lines), &added); !encoded.ok())
        return encoded;
    if (const SaveResult check = checkBeforeReplace(path); !check.ok())
        return check;
    QByteArray bytes;
    if (QFileInfo::exists(path)) {
        if (const int error = readFileBytes(path, bytes))
            return SaveResult::writeFailed(systemReason(error, false), QFileInfo(path).fileName());
    }
    if (encodingOf(bytes) == Encoding::Cp932) {
        bytes = withCrLfLineEnds(bytes);
    } else {
        const QString text = decodeDataFile(bytes);
        QStringList oldLines;
        for (const QStringView line : lineViews(text))
            oldLines.append(line.toString());
        if (const SaveResult encoded = encodeFor(path, joinLines(oldLines), &bytes); !encoded.ok())
            return encoded;
    }
    bytes += added;
    return replaceChecked(path, bytes);
}

void removeSaveLeftovers(const QDir &folder, const QStringList &fileNames)
{
    QStringList known;
    for (const QString &name : fileNames)
        known << foldAscii(name) << foldAscii(name + QLatin1String(".bak"));
    // "." name ".saving" or ".previous", and the temporary link QSaveFile makes beside the former.
    static const QRegularExpression leftover(QStringLiteral(R"(^\.(.+)\.(?:saving|previous)(?:\.[A-Za-z0-9]{6})?$)"));
    static const QRegularExpression datedCopy(QStringLiteral(R"(^(.+)\.\d{8}-\d{6}(?:_\d+)?$)"));
    const auto removeFrom = [&](const QDir &dir, bool dated) {
        for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QRegularExpressionMatch match = leftover.match(entry);
            if (!match.hasMatch())
                continue;
            QString name = match.captured(1);
            if (dated) {
                const QRegularExpressionMatch copy = datedCopy.match(name);
                if (!copy.hasMatch())
                    continue;
                name = copy.captured(1);
            }
            if (known.contains(foldAscii(name)))
                QFile::remove(dir.filePath(entry));
        }
    };
    removeFrom(folder, false);
    removeFrom(QDir(folder.filePath(BackupFolderName)), true);
}

void resetBackupsForTesting()
{
    fileStates().clear();
}

} // namespace textfile
