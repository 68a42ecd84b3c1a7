#include "textfile/FileReplace.h"

#include "textfile/SystemReason.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
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

/// The hidden name beside path: "dir/.name" followed by suffix.
QString hiddenBeside(const QString &path, QLatin1StringView suffix)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + u'.' + path.mid(slash + 1) + suffix;
}

/// Writes bytes as a new file at staged and has them on disk before returning 0, with the file's
/// status in *written when asked; on failure returns the system error and leaves no file there.
int stage(const QString &staged, const QByteArray &bytes, struct stat *written = nullptr)
{
    removeQuietly(staged);
    QSaveFile file(staged);
    if (const int error = writeSynced(file, bytes, written))
        return error;
    errno = 0;
    if (!file.commit())
        return errorOf(file, errno);
    return 0;
}

} // namespace

int errorOf(const QFileDevice &file, int savedErrno)
{
    if (const int named = errorNumberOf(file.errorString()))
        return named;
    return savedErrno != 0 ? savedErrno : EIO;
}

int writeSynced(QSaveFile &file, const QByteArray &bytes, struct stat *written)
{
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return errorOf(file, errno);
    // Unbuffered, so that a failing write(2) shows here: a buffered QSaveFile writes only inside
    // commit(), which then renames a short file into place and reports success. A short count is
    // checked for the same reason.
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errorOf(file, errno);
        file.cancelWriting();
        return error;
    }
    // commit() syncs as well, but ignores a failure; its sync then finds nothing left to write.
    int error = ::fdatasync(file.handle()) != 0 ? errno : 0;
    // The version written, taken from the file itself: the renames keep its inode, size and time.
    if (!error && written && ::fstat(file.handle(), written) != 0)
        error = errno;
    if (error)
        file.cancelWriting();
    return error;
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

int readFileBytes(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return errorOf(file, errno);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return errorOf(file, errno);
    return 0;
}

namespace {

/// One replacement with every step it took, so that a failure can undo them in reverse.
class Replacement
{
public:
    explicit Replacement(const QString &path)
        : m_path(path)
        , m_folder(path.left(path.lastIndexOf(u'/')))
        , m_name(path.mid(path.lastIndexOf(u'/') + 1))
        , m_staged(hiddenBeside(path, StagedSuffix))
        , m_previous(hiddenBeside(path, PreviousSuffix))
        , m_bak(path + QLatin1String(".bak"))
        , m_bakStaged(hiddenBeside(m_bak, StagedSuffix))
        , m_bakPrevious(hiddenBeside(m_bak, PreviousSuffix))
        , m_backupFolder(m_folder + u'/' + BackupFolderName)
    {
    }

    std::optional<ReplaceFailure> run(const QByteArray &bytes, bool keepBackups, struct stat *written)
    {
        m_existed = exists(m_path);
        const bool backUp = keepBackups && m_existed;
        if (backUp) {
            QByteArray old;
            if (const int error = readFileBytes(m_path, old))
                return fail(error);
            if (const auto failure = makeDatedCopy(old))
                return failure;
            // The ".bak" holds the same bytes as the dated copy, already on disk: a second name for
            // that copy spares writing and syncing them again.
            removeQuietly(m_bakStaged);
            if (::link(native(m_datedCopy).constData(), native(m_bakStaged).constData()) != 0)
                return fail(errno, m_name + QLatin1String(".bak"));
        }
        if (const int error = stage(m_staged, bytes, written))
            return fail(error);
        // Second names for the old contents, to put them back if a later step fails.
        if (m_existed && ::link(native(m_path).constData(), native(m_previous).constData()) != 0)
            return fail(errno);
        m_bakExisted = backUp && exists(m_bak);
        if (m_bakExisted && ::link(native(m_bak).constData(), native(m_bakPrevious).constData()) != 0)
            return fail(errno, m_name + QLatin1String(".bak"));

        if (::rename(native(m_staged).constData(), native(m_path).constData()) != 0)
            return fail(errno);
        m_fileMoved = true;
        if (backUp) {
            if (::rename(native(m_bakStaged).constData(), native(m_bak).constData()) != 0)
                return fail(errno, m_name + QLatin1String(".bak"));
            m_bakMoved = true;
        }
        if (const int error = syncFolder(m_folder))
            return fail(error);

        removeQuietly(m_previous);
        removeQuietly(m_bakPrevious);
        if (backUp)
            pruneDatedCopies();
        return std::nullopt;
    }

private:
    std::optional<ReplaceFailure> makeDatedCopy(const QByteArray &old)
    {
        const QString folderName = BackupFolderName + u'/';
        if (!QFileInfo(m_backupFolder).isDir()) {
            if (::mkdir(native(m_backupFolder).constData(), 0777) != 0)
                return fail(errno, folderName);
            m_madeBackupFolder = true;
            if (const int error = syncFolder(m_folder))
                return fail(error, folderName);
        }
        const QString copy = newCopyPath();
        const QString relative = folderName + copy.mid(m_backupFolder.size() + 1);
        const QString staged = hiddenBeside(copy, StagedSuffix);
        if (const int error = stage(staged, old))
            return fail(error, relative);
        if (::rename(native(staged).constData(), native(copy).constData()) != 0) {
            const int error = errno;
            removeQuietly(staged);
            return fail(error, relative);
        }
        m_datedCopy = copy;
        if (const int error = syncFolder(m_backupFolder))
            return fail(error, relative);
        return std::nullopt;
    }

    /// "backup/name.yyyyMMdd-HHmmss", with "_2", "_3"… when a copy of that second exists.
    QString newCopyPath() const
    {
        const QString base = m_backupFolder + u'/' + m_name + u'.'
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString copy = base;
        for (int n = 2; exists(copy); ++n)
            copy = base + u'_' + QString::number(n);
        return copy;
    }

    void pruneDatedCopies() const
    {
        // One pattern for every file, its name compared apart: compiling one per save cost more
        // than the listing.
        static const QRegularExpression pattern(
            QStringLiteral(R"(^(.*)\.(\d{8}-\d{6})(?:_(\d+))?$)"), QRegularExpression::DotMatchesEverythingOption);
        struct Copy
        {
            QString name;
            QString stamp;
            int number;
        };
        QList<Copy> copies;
        for (const QString &entry : QDir(m_backupFolder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QRegularExpressionMatch match = pattern.match(entry);
            if (match.hasMatch() && match.capturedView(1) == m_name)
                copies.append(
                    { entry, match.captured(2), match.captured(3).isEmpty() ? 1 : match.captured(3).toInt() });
        }
        if (copies.size() <= KeptDatedCopies)
            return;
        std::sort(copies.begin(), copies.end(),
            [](const Copy &a, const Copy &b) { return a.stamp != b.stamp ? a.stamp < b.stamp : a.number < b.number; });
        for (qsizetype i = 0; i < copies.size() - KeptDatedCopies; ++i)
            removeQuietly(m_backupFolder + u'/' + copies.at(i).name);
        syncFolder(m_backupFolder);
    }

    ReplaceFailure fail(int error, const QString &backupCopy = {})
    {
        rollBack();
        return { error, backupCopy };
    }

    void rollBack()
    {
        if (m_bakMoved) {
            if (m_bakExisted)
                ::rename(native(m_bakPrevious).constData(), native(m_bak).constData());
            else
                removeQuietly(m_bak);
        }
        if (m_fileMoved) {
            if (m_existed)
                ::rename(native(m_previous).constData(), native(m_path).constData());
            else
                removeQuietly(m_path);
        }
        for (const QString &path : { m_staged, m_previous, m_bakStaged, m_bakPrevious })
            removeQuietly(path);
        if (m_fileMoved || m_bakMoved)
            syncFolder(m_folder);
        if (!m_datedCopy.isEmpty()) {
            removeQuietly(m_datedCopy);
            syncFolder(m_backupFolder);
        }
        if (m_madeBackupFolder)
            ::rmdir(native(m_backupFolder).constData());
    }

    const QString m_path;
    const QString m_folder;
    const QString m_name;
    const QString m_staged;
    const QString m_previous;
    const QString m_bak;
    const QString m_bakStaged;
    const QString m_bakPrevious;
    const QString m_backupFolder;
    QString m_datedCopy;
    bool m_existed = false;
    bool m_bakExisted = false;
    bool m_fileMoved = false;
    bool m_bakMoved = false;
    bool m_madeBackupFolder = false;
};

} // namespace

std::optional<ReplaceFailure> replaceFile(
    const QString &path, const QByteArray &bytes, bool keepBackups, struct stat *written)
{
    return Replacement(path).run(bytes, keepBackups, written);
}

} // namespace textfile
