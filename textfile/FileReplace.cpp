#include "textfile/FileReplace.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace textfile {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool exists(const QString &path)
{
    struct stat status;
    return ::lstat(native(path).constData(), &status) == 0;
}

void removeQuietly(const QString &path)
{
    ::unlink(native(path).constData());
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'/'));
}

/// The hidden name beside path: "dir/.name" followed by suffix.
QString hiddenBeside(const QString &path, QLatin1StringView suffix)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + u'.' + path.mid(slash + 1) + suffix;
}

/// Writes all of bytes to fd, going on after a short count; 0 or the system error.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        next += written;
        left -= written;
    }
    return 0;
}

/// Makes bytes a new file at path, on disk before it returns 0, with the permissions given (none:
/// what the process's umask leaves of 0666); on failure returns the system error and leaves no
/// file there. With keepOpen the file stays open in
/// *keepOpen, so that its status can be taken once it has its name.
int stage(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode, int *keepOpen = nullptr)
{
    removeQuietly(path);
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0)
        return errno;
    // The umask narrowed what open gave; a replaced file keeps its permissions whole. A file system
    // without permissions (FAT) refuses, and keeps its own.
    if (mode)
        ::fchmod(fd, *mode);
    int error = writeAll(fd, bytes);
    if (!error && ::fdatasync(fd) != 0)
        error = errno;
    if (error || !keepOpen) {
        if (::close(fd) != 0 && !error)
            error = errno;
    }
    if (error) {
        removeQuietly(path);
        return error;
    }
    if (keepOpen)
        *keepOpen = fd;
    return 0;
}

/// The permissions of the file at path; none when it is missing.
std::optional<mode_t> permissionsOf(const QString &path)
{
    struct stat status;
    if (::stat(native(path).constData(), &status) != 0)
        return std::nullopt;
    return status.st_mode & 07777;
}

/// The errors of link(2) that say the file system has no hard link there, rather than that the
/// write failed: another disk, FAT, a file system without them.
bool noHardLinks(int error)
{
    return error == EXDEV || error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK;
}

/// Gives the content at from the second name to: a hard link or, where the file system has none,
/// a synced copy; 0 or the system error.
int secondName(const QString &from, const QString &to)
{
    removeQuietly(to);
    if (::link(native(from).constData(), native(to).constData()) == 0)
        return 0;
    if (!noHardLinks(errno))
        return errno;
    QByteArray bytes;
    if (const int error = readFileBytes(from, bytes))
        return error;
    return stage(to, bytes, permissionsOf(from));
}

/// The record of a save of several files: one line a file, the last "end", so that a record
/// cut short is known as such. A line: whether the file existed ("1" or "0"), the size and the
/// SHA-1 of its new content, the path of the file replaced.
QByteArray journalText(const QList<FileChange> &changes, const QStringList &targets, const QList<bool> &existed)
{
    QByteArray text = "crooners-diary save 1\n";
    for (qsizetype i = 0; i < changes.size(); ++i) {
        text += (existed.at(i) ? "1 " : "0 ") + QByteArray::number(changes.at(i).bytes.size()) + ' '
            + QCryptographicHash::hash(changes.at(i).bytes, QCryptographicHash::Sha1).toHex() + ' '
            + targets.at(i).toUtf8() + '\n';
    }
    return text + "end\n";
}

/// One replacement of several files with every step it took, so that a failure can undo them in
/// reverse.
class Replacement
{
public:
    Replacement(QList<FileChange> &changes, const QString &journal)
        : m_changes(changes)
        , m_journal(changes.size() > 1 ? journal : QString())
    {
    }

    ~Replacement()
    {
        for (File &file : m_files) {
            if (file.fd >= 0)
                ::close(file.fd);
        }
    }

    Failure run()
    {
        for (const FileChange &change : std::as_const(m_changes)) {
            File file;
            file.path = change.path;
            if (const int error = followLinks(change.path, &file.target))
                return fail(error, change.path);
            file.existed = exists(file.target);
            file.backUp = change.keepBackups && file.existed;
            m_files.append(file);
        }
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            if (const Failure failure = prepare(m_files[i], m_changes.at(i).bytes); !failure.ok())
                return failure;
        }
        // The ".bak" files first: until the new content is in place they hold what the files do.
        for (File &file : m_files) {
            if (!file.backUp)
                continue;
            if (::rename(native(file.bakStaged()).constData(), native(file.bak()).constData()) != 0)
                return fail(errno, file.path, file.name() + QLatin1String(".bak"));
            file.bakMoved = true;
        }
        if (!m_journal.isEmpty()) {
            if (const Failure failure = writeJournal(); !failure.ok())
                return failure;
        }
        for (File &file : m_files) {
            if (::rename(native(file.staged()).constData(), native(file.target).constData()) != 0)
                return fail(errno, file.path);
            file.moved = true;
        }
        for (const QString &folder : touchedFolders()) {
            if (const int error = syncFolder(folder))
                return fail(error, m_files.first().path);
        }
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            File &file = m_files[i];
            // Taken once the file has its name: the rename changes its status time.
            if (::fstat(file.fd, &m_changes[i].written) != 0)
                return fail(errno, file.path);
        }

        // Done: what follows only tidies up. A record found again after a crash here finds every
        // file with its new content and is simply removed.
        if (m_journalWritten)
            removeQuietly(m_journal);
        for (const File &file : std::as_const(m_files)) {
            removeQuietly(file.previous());
            removeQuietly(file.bakPrevious());
            if (file.backUp)
                pruneDatedCopies(file);
        }
        return done();
    }

private:
    struct File
    {
        QString path; ///< as given
        QString target; ///< the file that takes the content: path with its links followed
        int fd = -1; ///< the staged file, open until its status is taken
        QString datedCopy;
        bool existed = false;
        bool backUp = false;
        bool bakExisted = false;
        bool moved = false;
        bool bakMoved = false;
        bool madeBackupFolder = false;

        QString name() const { return path.mid(path.lastIndexOf(u'/') + 1); }
        QString staged() const { return hiddenBeside(target, StagedSuffix); }
        QString previous() const { return hiddenBeside(target, PreviousSuffix); }
        QString bak() const { return path + QLatin1String(".bak"); }
        QString bakStaged() const { return hiddenBeside(bak(), StagedSuffix); }
        QString bakPrevious() const { return hiddenBeside(bak(), PreviousSuffix); }
        QString backupFolder() const { return folderOf(path) + u'/' + BackupFolderName; }
    };

    /// Everything short of putting the new content in place: the backups, the new content staged
    /// beside the file, a second name for the old content.
    Failure prepare(File &file, const QByteArray &bytes)
    {
        const std::optional<mode_t> mode = permissionsOf(file.target);
        if (file.backUp) {
            QByteArray old;
            if (const int error = readFileBytes(file.target, old))
                return fail(error, file.path);
            if (const Failure failure = makeDatedCopy(file, old, mode); !failure.ok())
                return failure;
            if (const int error = secondName(file.datedCopy, file.bakStaged()))
                return fail(error, file.path, file.name() + QLatin1String(".bak"));
        }
        if (const int error = stage(file.staged(), bytes, mode, &file.fd))
            return fail(error, file.path);
        if (file.existed) {
            if (const int error = secondName(file.target, file.previous()))
                return fail(error, file.path);
        }
        file.bakExisted = file.backUp && exists(file.bak());
        if (file.bakExisted) {
            if (const int error = secondName(file.bak(), file.bakPrevious()))
                return fail(error, file.path, file.name() + QLatin1String(".bak"));
        }
        return done();
    }

    Failure makeDatedCopy(File &file, const QByteArray &old, std::optional<mode_t> mode)
    {
        const QString folder = file.backupFolder();
        const QString folderName = BackupFolderName + u'/';
        struct stat status;
        if (::stat(native(folder).constData(), &status) != 0) {
            if (::mkdir(native(folder).constData(), 0777) != 0)
                return fail(errno, file.path, folderName);
            file.madeBackupFolder = true;
            if (const int error = syncFolder(folderOf(file.path)))
                return fail(error, file.path, folderName);
        } else if (!S_ISDIR(status.st_mode)) {
            return fail(ENOTDIR, file.path, folderName);
        }
        const QString copy = newCopyPath(file);
        const QString relative = folderName + copy.mid(folder.size() + 1);
        const QString staged = hiddenBeside(copy, StagedSuffix);
        if (const int error = stage(staged, old, mode))
            return fail(error, file.path, relative);
        if (::rename(native(staged).constData(), native(copy).constData()) != 0) {
            const int error = errno;
            removeQuietly(staged);
            return fail(error, file.path, relative);
        }
        file.datedCopy = copy;
        if (const int error = syncFolder(folder))
            return fail(error, file.path, relative);
        return done();
    }

    /// "backup/name.yyyyMMdd-HHmmss", with "_2", "_3"… when a copy of that second exists.
    static QString newCopyPath(const File &file)
    {
        const QString base = file.backupFolder() + u'/' + file.name() + u'.'
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString copy = base;
        for (int n = 2; exists(copy); ++n)
            copy = base + u'_' + QString::number(n);
        return copy;
    }

    Failure writeJournal()
    {
        QStringList targets;
        QList<bool> existed;
        for (const File &file : std::as_const(m_files)) {
            targets.append(file.target);
            existed.append(file.existed);
        }
        const QString staged = hiddenBeside(m_journal, StagedSuffix);
        int error = stage(staged, journalText(m_changes, targets, existed), std::nullopt);
        if (!error && ::rename(native(staged).constData(), native(m_journal).constData()) != 0) {
            error = errno;
            removeQuietly(staged);
        }
        if (!error) {
            m_journalWritten = true;
            error = syncFolder(folderOf(m_journal));
        }
        if (error)
            return fail(error, m_files.first().path);
        return done();
    }

    /// The folders whose entries the replacement changed.
    QStringList touchedFolders() const
    {
        QStringList folders;
        for (const File &file : m_files) {
            folders.append(folderOf(file.target));
            if (file.backUp)
                folders.append(folderOf(file.path));
        }
        folders.removeDuplicates();
        return folders;
    }

    /// Keeps the newest copies of the file, the one just made first whatever its name says: a
    /// clock once set ahead, or a copy from another machine, must not push it out. The others go
    /// by their times on disk, oldest first, so that a change of time zone cannot make an older
    /// copy look newer either.
    static void pruneDatedCopies(const File &file)
    {
        // One pattern for every file, its name compared apart: compiling one per save cost more
        // than the listing.
        static const QRegularExpression pattern(
            QStringLiteral(R"(^(.*)\.\d{8}-\d{6}(?:_\d+)?$)"), QRegularExpression::DotMatchesEverythingOption);
        const QString folder = file.backupFolder();
        struct Copy
        {
            QString path;
            qint64 modifiedNs;
        };
        QList<Copy> copies;
        for (const QString &entry : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QRegularExpressionMatch match = pattern.match(entry);
            const QString path = folder + u'/' + entry;
            struct stat status;
            if (!match.hasMatch() || match.capturedView(1) != file.name() || path == file.datedCopy
                || ::lstat(native(path).constData(), &status) != 0)
                continue;
            copies.append({ path, qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec });
        }
        const qsizetype surplus = copies.size() - (KeptDatedCopies - 1);
        if (surplus <= 0)
            return;
        std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
            return a.modifiedNs != b.modifiedNs ? a.modifiedNs < b.modifiedNs : a.path < b.path;
        });
        for (qsizetype i = 0; i < surplus; ++i)
            removeQuietly(copies.at(i).path);
        syncFolder(folder);
    }

    Failure fail(int error, const QString &file, const QString &backupCopy = {})
    {
        rollBack();
        if (backupCopy.isEmpty())
            return failure(Fault::WriteFailed, file, error);
        // Every save is refused until the user moves that file: it is told apart.
        if (backupCopy == BackupFolderName + u'/' && error == ENOTDIR)
            return failure(Fault::BackupFolderIsFile, file, error, BackupFolderName);
        return failure(Fault::BackupCopyFailed, file, error, backupCopy);
    }

    void rollBack()
    {
        for (auto file = m_files.rbegin(); file != m_files.rend(); ++file) {
            if (file->moved) {
                if (file->existed)
                    ::rename(native(file->previous()).constData(), native(file->target).constData());
                else
                    removeQuietly(file->target);
            }
            if (file->bakMoved) {
                if (file->bakExisted)
                    ::rename(native(file->bakPrevious()).constData(), native(file->bak()).constData());
                else
                    removeQuietly(file->bak());
            }
        }
        for (const QString &folder : touchedFolders())
            syncFolder(folder);
        // The files are back: the record of the save must not finish it at the next start.
        if (m_journalWritten) {
            removeQuietly(m_journal);
            syncFolder(folderOf(m_journal));
        }
        // In reverse, so that the backup folder a first file made is empty when it goes.
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it) {
            File &file = *it;
            if (file.fd >= 0) {
                ::close(file.fd);
                file.fd = -1;
            }
            for (const QString &path : { file.staged(), file.previous(), file.bakStaged(), file.bakPrevious() })
                removeQuietly(path);
            if (!file.datedCopy.isEmpty()) {
                removeQuietly(file.datedCopy);
                syncFolder(file.backupFolder());
            }
            if (file.madeBackupFolder)
                ::rmdir(native(file.backupFolder()).constData());
        }
    }

    QList<FileChange> &m_changes;
    const QString m_journal;
    QList<File> m_files;
    bool m_journalWritten = false;
};

struct JournalEntry
{
    bool existed = false;
    qint64 size = 0;
    QByteArray sha1;
    QString target;
};

/// The entries of a journal; false when it is not one whole.
bool readJournal(const QByteArray &bytes, QList<JournalEntry> &entries)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3 || lines.first() != "crooners-diary save 1" || !lines.last().isEmpty()
        || lines.at(lines.size() - 2) != "end")
        return false;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split(' ');
        if (fields.size() < 4 || (fields.at(0) != "0" && fields.at(0) != "1"))
            return false;
        JournalEntry entry;
        bool sized = false;
        entry.existed = fields.at(0) == "1";
        entry.size = fields.at(1).toLongLong(&sized);
        entry.sha1 = QByteArray::fromHex(fields.at(2));
        // The path may hold blanks: it is the rest of the line.
        entry.target
            = QString::fromUtf8(lines.at(i).mid(fields.at(0).size() + fields.at(1).size() + fields.at(2).size() + 3));
        if (!sized || entry.sha1.size() != 20 || !entry.target.startsWith(u'/'))
            return false;
        entries.append(entry);
    }
    return true;
}

bool holds(const QString &path, const JournalEntry &entry)
{
    QByteArray bytes;
    return readFileBytes(path, bytes) == 0 && bytes.size() == entry.size
        && QCryptographicHash::hash(bytes, QCryptographicHash::Sha1) == entry.sha1;
}

} // namespace

Failure replaceFiles(QList<FileChange> &changes, const QString &journal)
{
    return Replacement(changes, journal).run();
}

Failure replaceFile(const QString &path, const QByteArray &bytes, bool keepBackups, struct stat *written)
{
    QList<FileChange> changes { { path, bytes, keepBackups, {} } };
    const Failure failure = replaceFiles(changes);
    if (failure.ok() && written)
        *written = changes.first().written;
    return failure;
}

InterruptedSave finishInterruptedSave(const QString &journal)
{
    InterruptedSave result;
    QByteArray bytes;
    if (const int error = readFileBytes(journal, bytes)) {
        if (error != ENOENT) {
            result.outcome = InterruptedSave::Outcome::Unreadable;
            result.error = error;
        }
        return result;
    }
    QList<JournalEntry> entries;
    if (!readJournal(bytes, entries)) {
        result.outcome = InterruptedSave::Outcome::Unreadable;
        result.error = EINVAL;
        removeQuietly(journal);
        syncFolder(folderOf(journal));
        return result;
    }
    // Every new content is on disk before the record is made: each file either has it already or
    // has it staged beside it, unless something else changed the files since.
    bool whole = true;
    bool renamed = false;
    for (const JournalEntry &entry : std::as_const(entries)) {
        result.files.append(entry.target.mid(entry.target.lastIndexOf(u'/') + 1));
        if (!holds(hiddenBeside(entry.target, StagedSuffix), entry) && !holds(entry.target, entry))
            whole = false;
    }
    QSet<QString> folders;
    for (const JournalEntry &entry : std::as_const(entries)) {
        const QString staged = hiddenBeside(entry.target, StagedSuffix);
        const QString previous = hiddenBeside(entry.target, PreviousSuffix);
        folders.insert(folderOf(entry.target));
        if (whole) {
            if (exists(staged)) {
                if (::rename(native(staged).constData(), native(entry.target).constData()) != 0)
                    result.error = errno;
                renamed = true;
            }
        } else if (entry.existed ? exists(previous) : holds(entry.target, entry)) {
            const bool back = entry.existed
                ? ::rename(native(previous).constData(), native(entry.target).constData()) == 0
                : ::unlink(native(entry.target).constData()) == 0;
            if (!back)
                result.error = errno;
        }
    }
    for (const QString &folder : std::as_const(folders))
        syncFolder(folder);
    if (result.error == 0) {
        for (const JournalEntry &entry : std::as_const(entries)) {
            removeQuietly(hiddenBeside(entry.target, StagedSuffix));
            removeQuietly(hiddenBeside(entry.target, PreviousSuffix));
        }
        removeQuietly(journal);
        syncFolder(folderOf(journal));
    }
    result.outcome = !whole ? InterruptedSave::Outcome::RolledBack
        : renamed           ? InterruptedSave::Outcome::Finished
                            : InterruptedSave::Outcome::None;
    return result;
}

int syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

int readFileBytes(const QString &path, QByteArray &bytes, struct stat *status)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat opened;
    int error = ::fstat(fd, &opened) == 0 ? 0 : errno;
    if (!error && S_ISDIR(opened.st_mode))
        error = EISDIR;
    QByteArray read;
    if (!error) {
        // The size is a hint: a file that grows or shrinks while read is read to its end.
        read.resize(qsizetype(std::max<off_t>(opened.st_size, 0)) + 1);
        qsizetype filled = 0;
        for (;;) {
            if (filled == read.size())
                read.resize(read.size() * 2);
            const ssize_t got = ::read(fd, read.data() + filled, size_t(read.size() - filled));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                break;
            }
            if (got == 0)
                break;
            filled += got;
        }
        read.truncate(filled);
    }
    ::close(fd);
    if (!error) {
        bytes = std::move(read);
        if (status)
            *status = opened;
    }
    return error;
}

int followLinks(const QString &path, QString *target)
{
    QString current = QFileInfo(path).absoluteFilePath();
    // As many links as the system itself follows before it gives up with ELOOP.
    for (int hop = 0; hop <= 40; ++hop) {
        struct stat status;
        if (::lstat(native(current).constData(), &status) != 0) {
            if (hop > 0)
                return ENOENT;
            *target = current;
            return 0;
        }
        if (!S_ISLNK(status.st_mode)) {
            *target = current;
            return 0;
        }
        current = QFile::symLinkTarget(current);
    }
    return ELOOP;
}

} // namespace textfile
