#include "textfile/DataFile.h"

#include "textfile/Cp932.h"
#include "textfile/FileReplace.h"
#include "textfile/RunMemory.h"
#include "textfile/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace textfile {

namespace {

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileVersion versionOf(const struct stat &status)
{
    return { true, status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim),
        nanoseconds(status.st_ctim) };
}

FileVersion versionOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return versionOf(status);
}

} // namespace

/// A data file write that has passed its checks, to be put in place with the others of its batch.
struct PendingWrite
{
    QString path;
    QByteArray bytes;
    FileState state; ///< what the run knew of the file before this write
};

FileStates &fileStates()
{
    static FileStates states;
    return states;
}

Failure &writesRefused()
{
    static Failure why;
    return why;
}

namespace {

size_t digestOf(const QByteArray &bytes)
{
    return qHash(bytes);
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

/// Why a data file that is a symbolic link cannot be used, for the error of followLinks: one to
/// nothing, or the fault given for the system's error.
Failure linkFailure(int error, Fault toNothing, Fault otherwise, const QString &name)
{
    return failure(error == ENOENT ? toNothing : otherwise, name, error);
}

/// Whether the file on disk, at version current, still holds the bytes of the version known.
bool holdsKnownBytes(const QString &path, const FileVersion &current, const FileState &known)
{
    if (!current.exists || !known.stamp.exists || current.size != known.stamp.size)
        return false;
    QByteArray bytes;
    return readFileBytes(path, bytes) == 0 && digestOf(bytes) == known.digest;
}

/// Whether the file may be replaced: it was read, it can be written, and nobody else changed it
/// since. A missing or read-only folder is told as such rather than as a change. *current gets the
/// version on disk.
Failure checkBeforeReplace(const QString &path, FileVersion *current)
{
    const QString name = QFileInfo(path).fileName();
    if (!writesRefused().ok()) {
        Failure refused = writesRefused();
        refused.file = name;
        return refused;
    }
    std::optional<FileState> known = fileStates().find(path);
    if (known && known->readFailed)
        return failure(Fault::NotRead, name);
    QString target;
    if (const int error = followLinks(path, &target))
        return linkFailure(error, Fault::WriteLinkToNothing, Fault::WriteReadFailed, name);
    if (const int error = writeProtection(target))
        return failure(Fault::WriteFailed, name, error);
    *current = versionOf(path);
    if (known && *current != known->stamp) {
        if (!holdsKnownBytes(path, *current, *known))
            return failure(Fault::ChangedOnDisk, name);
        known->stamp = *current;
        fileStates().set(path, *known);
    }
    return done();
}

/// The writes the innermost batch of the thread holds back.
thread_local QList<PendingWrite> *gatheredWrites = nullptr;

const PendingWrite *pendingWriteOf(const QString &path)
{
    if (!gatheredWrites)
        return nullptr;
    for (const PendingWrite &write : std::as_const(*gatheredWrites)) {
        if (write.path == path)
            return &write;
    }
    return nullptr;
}

/// Puts every write in place together (journal: where to record them while they are put in
/// place) and remembers the versions written; a failure leaves every file as it was.
Failure commitWrites(const QList<PendingWrite> &writes, const QString &journal, QList<FileVersion> *versions)
{
    QList<FileChange> changes;
    for (const PendingWrite &write : writes)
        changes.append({ write.path, write.bytes, !write.state.backedUp, {} });
    if (Failure failed = replaceFiles(changes, journal); !failed.ok()) {
        // The run knows the files from now on, as they were before this save.
        for (const PendingWrite &write : writes)
            fileStates().set(write.path, write.state);
        failed.file = QFileInfo(failed.file).fileName();
        return failed;
    }
    for (qsizetype i = 0; i < writes.size(); ++i) {
        FileState state = writes.at(i).state;
        state.readFailed = false;
        state.backedUp = true;
        // The status of the file written, not of whatever has the name by now: a change made by
        // another program right after the save still shows at the next one.
        state.stamp = versionOf(changes.at(i).written);
        state.digest = digestOf(writes.at(i).bytes);
        state.encoding = Encoding::Cp932;
        state.stampedEncoding.reset();
        state.guessedBytes.clear();
        // Read again in this run, what the program wrote reads as written.
        settleEncoding(writes.at(i).bytes, Encoding::Cp932);
        fileStates().set(writes.at(i).path, state);
        if (versions)
            versions->append(state.stamp);
    }
    return done();
}

/// Replaces the file at path, already checked and found as replaced, or holds the write back for
/// the batch gathering them. keepAgain keeps the content replaced in a dated copy even when the run
/// kept the file's content already.
Failure replaceChecked(const QString &path, const QByteArray &bytes, const FileVersion &replaced, WrittenFile *written,
    bool keepAgain = false)
{
    PendingWrite write { path, bytes, fileStates().find(path).value_or(FileState()) };
    if (keepAgain)
        write.state.backedUp = false;
    if (gatheredWrites) {
        // A second write of a file in one batch replaces the first, which never reached the disk.
        gatheredWrites->removeIf([&path](const PendingWrite &pending) { return pending.path == path; });
        gatheredWrites->append(write);
        // The version written is known only once the batch is in place.
        if (written)
            *written = { replaced, {}, bytes };
        return done();
    }
    QList<FileVersion> versions;
    const Failure result = commitWrites({ write }, {}, &versions);
    if (result.ok() && written)
        *written = { replaced, versions.first(), bytes };
    return result;
}

/// Encodes text for the file at path, naming the file when a character cannot be written.
Failure encodeFor(const QString &path, const QString &text, QByteArray *bytes)
{
    QString unencodable;
    if (!cp932::encode(text, bytes, &unencodable))
        return failure(Fault::Unencodable, QFileInfo(path).fileName(), 0, unencodable);
    return done();
}

/// Whether every line of the bytes ends with CR LF, the last one included: every LF follows a CR,
/// and there are as many CRs, so none stands alone. Searched for, not looked at byte by byte.
bool endsEveryLineWithCrLf(const QByteArray &bytes)
{
    const char *const data = bytes.constData();
    const char *const end = data + bytes.size();
    if (bytes.isEmpty() || end[-1] != '\n')
        return false;
    qsizetype lineFeeds = 0;
    for (const char *lf = data; (lf = static_cast<const char *>(std::memchr(lf, '\n', end - lf))); ++lf) {
        if (lf == data || lf[-1] != '\r')
            return false;
        ++lineFeeds;
    }
    qsizetype carriageReturns = 0;
    for (const char *cr = data; (cr = static_cast<const char *>(std::memchr(cr, '\r', end - cr))); ++cr)
        ++carriageReturns;
    return carriageReturns == lineFeeds;
}

/// Code page 932 bytes with every line end made CR LF and the last line ended. A CR or LF byte is
/// never part of a two-byte character there, so nothing else changes.
QByteArray withCrLfLineEnds(const QByteArray &bytes)
{
    // As the program writes them: kept as they are.
    if (bytes.isEmpty() || endsEveryLineWithCrLf(bytes))
        return bytes;
    const char *const data = bytes.constData();
    const qsizetype size = bytes.size();
    QByteArray result;
    result.reserve(size + size / 8 + 2);
    qsizetype copied = 0; ///< the bytes before this are in result
    for (qsizetype i = 0; i < size; ++i) {
        const char byte = data[i];
        if (byte != '\r' && byte != '\n')
            continue;
        if (byte == '\r' && i + 1 < size && data[i + 1] == '\n') {
            ++i;
            continue;
        }
        result.append(data + copied, i - copied).append("\r\n");
        copied = i + 1;
    }
    result.append(data + copied, size - copied);
    if (!result.endsWith('\n'))
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
    // This read is what the run knows of the file now, but its old content stays kept.
    FileState state;
    state.backedUp = fileStates().find(path).value_or(FileState()).backedUp;
    const auto failed = [&](const Failure &why) {
        result.exists = true;
        state.readFailed = true;
        fileStates().set(path, state);
        result.failure = why;
        return result;
    };
    // A link to nothing is no missing file: the first save would put a file in the link's place.
    QString target;
    if (const int error = followLinks(path, &target))
        return failed(linkFailure(error, Fault::ReadLinkToNothing, Fault::ReadFailed, name));
    // The version is that of the file as opened: a change made while reading shows at the next save.
    struct stat status;
    if (const int error = readFileBytes(path, result.bytes, &status)) {
        if (error == ENOENT) {
            fileStates().set(path, state);
            return result;
        }
        return failed(failure(Fault::ReadFailed, name, error));
    }
    result.exists = true;
    state.stamp = versionOf(status);
    state.digest = digestOf(result.bytes);
    const EncodingGuess found = encodingOf(result.bytes);
    state.encoding = found.encoding;
    state.stampedEncoding = state.encoding;
    result.decoded.text = decodeAs(result.bytes, found.encoding, &result.decoded.held);
    result.decoded.encoding = found.encoding;
    state.undecodable = state.encoding == Encoding::Cp932 && result.decoded.held;
    if (!found.certain)
        state.guessedBytes = result.bytes;
    fileStates().set(path, state);
    result.version = state.stamp;
    return result;
}

QList<ForeignFile> foreignEncodedFiles()
{
    QList<ForeignFile> files;
    const QHash<QString, FileState> states = fileStates().all();
    for (auto state = states.cbegin(); state != states.cend(); ++state) {
        if (state->encoding != Encoding::Cp932) {
            files.append({ QFileInfo(state.key()).fileName(),
                state->encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16") });
        }
    }
    std::sort(files.begin(), files.end(), [](const ForeignFile &a, const ForeignFile &b) { return a.file < b.file; });
    return files;
}

QStringList filesWithUndecodableBytes()
{
    QStringList files;
    const QHash<QString, FileState> states = fileStates().all();
    for (auto state = states.cbegin(); state != states.cend(); ++state) {
        if (state->undecodable)
            files.append(QFileInfo(state.key()).fileName());
    }
    files.sort();
    return files;
}

QList<GuessedFile> guessedEncodingFiles()
{
    QList<GuessedFile> files;
    const QHash<QString, FileState> states = fileStates().all();
    for (auto state = states.cbegin(); state != states.cend(); ++state) {
        if (!state->guessedBytes.isEmpty())
            files.append({ state.key(), state->guessedBytes, state->encoding });
    }
    std::sort(files.begin(), files.end(), [](const GuessedFile &a, const GuessedFile &b) { return a.path < b.path; });
    return files;
}

void settleFileEncoding(const GuessedFile &file, Encoding encoding)
{
    settleEncoding(file.bytes, encoding);
    std::optional<FileState> state = fileStates().find(file.path);
    if (!state || state->guessedBytes != file.bytes)
        return;
    state->encoding = encoding;
    state->stampedEncoding = encoding;
    state->guessedBytes.clear();
    fileStates().set(file.path, *state);
}

Failure rewriteDataFile(const QDir &folder, const QString &name, const QByteArray &bytes, WrittenFile *written)
{
    const QString path = resolveDataFile(folder, name);
    FileVersion current;
    if (const Failure check = checkBeforeReplace(path, &current); !check.ok())
        return check;
    return replaceChecked(path, bytes, current, written);
}

Failure writeLines(const QDir &folder, const QString &name, const QStringList &lines, WrittenFile *written)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return failure(Fault::Unencodable, {}, 0, lineBreak);
    return writeText(folder, name, joinLines(lines), written);
}

Failure writeText(const QDir &folder, const QString &name, const QString &text, WrittenFile *written)
{
    const QString path = resolveDataFile(folder, name);
    QByteArray bytes;
    if (const Failure encoded = encodeFor(path, text, &bytes); !encoded.ok())
        return encoded;
    return rewriteDataFile(folder, name, bytes, written);
}

Failure appendLines(const QDir &folder, const QString &name, const QStringList &lines, WrittenFile *written)
{
    if (const QString lineBreak = lineBreakIn(lines); !lineBreak.isEmpty())
        return failure(Fault::Unencodable, {}, 0, lineBreak);
    const QString path = resolveDataFile(folder, name);
    QByteArray added;
    if (const Failure encoded = encodeFor(path, joinLines(lines), &added); !encoded.ok())
        return encoded;
    FileVersion current;
    if (const Failure check = checkBeforeReplace(path, &current); !check.ok())
        return check;
    QByteArray bytes;
    if (const PendingWrite *pending = pendingWriteOf(path)) {
        bytes = pending->bytes;
        bytes += added;
        return replaceChecked(path, bytes, current, written);
    }
    if (current.exists) {
        if (const int error = readFileBytes(path, bytes))
            return failure(Fault::WriteReadFailed, QFileInfo(path).fileName(), error);
    }
    // The version on disk is the one last read when the run knows it (checked above), so the
    // encoding found then holds; a diary of 300 outings would otherwise be looked at once more.
    const std::optional<FileState> known = fileStates().find(path);
    const bool readBefore = known && known->stampedEncoding && known->stamp == current;
    // Old bytes are kept only in code page 932: a file is never written in two encodings.
    const Encoding encoding = readBefore ? *known->stampedEncoding : encodingOf(bytes).encoding;
    if (encoding == Encoding::Cp932) {
        bytes = withCrLfLineEnds(bytes);
    } else {
        const QString text = decodeAs(bytes, encoding);
        QStringList oldLines;
        for (const QStringView line : lineViews(text))
            oldLines.append(line.toString());
        if (const Failure encoded = encodeFor(path, joinLines(oldLines), &bytes); !encoded.ok())
            return encoded;
    }
    bytes += added;
    return replaceChecked(path, bytes, current, written);
}

void removeSaveLeftovers(const QDir &folder, const QStringList &fileNames)
{
    QStringList known { foldAscii(JournalName) };
    // A data file that is a link is saved beside its target, in a folder of its own.
    QList<QFileInfo> targets;
    for (const QString &name : fileNames) {
        known << foldAscii(name) << foldAscii(name + QLatin1String(".bak"));
        QString target;
        const QString path = resolveDataFile(folder, name);
        if (followLinks(path, &target) == 0 && target != QFileInfo(path).absoluteFilePath())
            targets.append(QFileInfo(target));
    }
    // "." name ".saving" or ".previous", and the temporary link that QSaveFile, with which earlier
    // versions staged, made beside the former.
    static const QRegularExpression leftover(QStringLiteral(R"(^\.(.+)\.(?:saving|previous)(?:\.[A-Za-z0-9]{6})?$)"));
    static const QRegularExpression datedCopy(QStringLiteral(R"(^(.+)\.\d{8}-\d{6}(?:_\d+)?$)"));
    const auto removeFrom = [&](const QDir &dir, const QStringList &known, bool dated) {
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
    removeFrom(folder, known, false);
    for (const QFileInfo &target : std::as_const(targets))
        removeFrom(target.absoluteDir(), { foldAscii(target.fileName()) }, false);
    removeFrom(QDir(folder.filePath(BackupFolderName)), known, true);
}

QList<DatedCopy> datedCopies(const QDir &folder, const QStringList &fileNames)
{
    static const QRegularExpression datedName(QStringLiteral(R"(^(.+)\.(\d{8}-\d{6})(?:_(\d+))?$)"));
    QList<std::pair<DatedCopy, int>> found; ///< with the number after "_", 1 for none
    const QDir backup(folder.filePath(BackupFolderName));
    for (const QFileInfo &entry : backup.entryInfoList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = datedName.match(entry.fileName());
        if (!match.hasMatch())
            continue;
        const QDateTime time = QDateTime::fromString(match.captured(2), QStringLiteral("yyyyMMdd-HHmmss"));
        const auto file = std::find_if(fileNames.cbegin(), fileNames.cend(),
            [&match](const QString &name) { return sameDataFileName(name, match.captured(1)); });
        if (file == fileNames.cend() || !time.isValid())
            continue;
        const int number = match.hasCaptured(3) ? match.captured(3).toInt() : 1;
        found.append({ { *file, entry.fileName(), time, entry.size() }, number });
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return std::tie(a.first.time, a.second) > std::tie(b.first.time, b.second);
    });
    QList<DatedCopy> copies;
    for (const auto &[copy, number] : std::as_const(found))
        copies.append(copy);
    return copies;
}

Failure readDatedCopy(const QDir &folder, const DatedCopy &copy, QByteArray *bytes)
{
    const QString relative = BackupFolderName + u'/' + copy.name;
    if (const int error = readFileBytes(folder.filePath(relative), *bytes))
        return failure(Fault::RestoreReadFailed, copy.file, error, relative);
    bool damaged = false;
    decodeDataFile(*bytes, &damaged);
    if (damaged)
        return failure(Fault::RestoreUndecodable, copy.file, 0, relative);
    return done();
}

Failure restoreDataFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = resolveDataFile(folder, name);
    FileVersion current;
    if (const Failure check = checkBeforeReplace(path, &current); !check.ok())
        return check;
    return replaceChecked(path, bytes, current, nullptr, true);
}

SaveBatch::SaveBatch(const QDir &folder)
    : m_journal(folder.absoluteFilePath(JournalName))
    , m_outer(gatheredWrites)
{
    gatheredWrites = &m_writes;
}

SaveBatch::~SaveBatch()
{
    gatheredWrites = m_outer;
}

Failure SaveBatch::commit()
{
    gatheredWrites = m_outer;
    const QList<PendingWrite> writes = std::exchange(m_writes, {});
    if (m_outer) {
        // Inside another batch, these writes become part of it.
        for (const PendingWrite &write : writes) {
            m_outer->removeIf([&write](const PendingWrite &pending) { return pending.path == write.path; });
            m_outer->append(write);
        }
        return done();
    }
    if (writes.isEmpty())
        return done();
    return commitWrites(writes, m_journal, nullptr);
}

void refuseWrites(const Failure &why)
{
    writesRefused() = why;
}

} // namespace textfile
