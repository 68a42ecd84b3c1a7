#include "exchange/BackupArchive.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/ChoiceList.h"
#include "diary/DiaryBook.h"
#include "exchange/WriteTarget.h"
#include "personal/PersonalData.h"
#include "textfile/DataFile.h"
#include "textfile/FileReplace.h"
#include "textfile/SystemReason.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <clocale>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// One data file as read for the archive.
struct StoredFile
{
    QString name;
    QByteArray bytes;
    struct stat status;
};

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

BackupResult failure(const QString &file, const QString &reason)
{
    return { {}, file, reason };
}

/// Reads the file at path with its status taken from the same open file. Not through
/// textfile::readDataFile, which would take the version read for the one the program last saw and
/// so hide a change made by another program from the next save.
int readStoredFile(const QString &path, StoredFile &file)
{
    if (QFileInfo(path).isDir())
        return EISDIR;
    QFile input(path);
    errno = 0;
    if (!input.open(QIODevice::ReadOnly)) {
        const int named = textfile::errorNumberOf(input.errorString());
        return named ? named : (errno ? errno : EIO);
    }
    if (::fstat(input.handle(), &file.status) != 0)
        return errno;
    file.bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        const int named = textfile::errorNumberOf(input.errorString());
        return named ? named : EIO;
    }
    file.name = QFileInfo(path).fileName();
    return 0;
}

/// Why libarchive stopped: the system's reason when it gives an error number, else its own words.
QString archiveReason(archive *a, const QString &what)
{
    const int error = archive_errno(a);
    if (error > 0 && error != EILSEQ)
        return textfile::systemReason(error, true);
    const char *text = archive_error_string(a);
    return text ? what + QStringLiteral("（") + QString::fromLocal8Bit(text) + QStringLiteral("）") : what;
}

/// Makes libarchive take names as UTF-8 in this thread while it lives. Read back under another
/// locale (the C locale of a program that never set one), names with the zip's UTF-8 flag cannot
/// be converted and come back empty.
class Utf8Names
{
public:
    Utf8Names()
        : m_utf8(::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr)))
        , m_previous(m_utf8 ? ::uselocale(m_utf8) : locale_t(nullptr))
    {
    }
    ~Utf8Names()
    {
        if (m_utf8) {
            ::uselocale(m_previous);
            ::freelocale(m_utf8);
        }
    }
    Utf8Names(const Utf8Names &) = delete;
    Utf8Names &operator=(const Utf8Names &) = delete;

private:
    const locale_t m_utf8;
    const locale_t m_previous;
};

struct ArchiveWriterFree
{
    void operator()(archive *a) const { archive_write_free(a); }
};
struct ArchiveReaderFree
{
    void operator()(archive *a) const { archive_read_free(a); }
};
struct EntryFree
{
    void operator()(archive_entry *entry) const { archive_entry_free(entry); }
};

/// Writes the files as a zip into fd; empty, or why not.
QString writeZip(int fd, const QList<StoredFile> &files)
{
    const QString cannotWrite = QStringLiteral("ZIPファイルを作れませんでした");
    const std::unique_ptr<archive, ArchiveWriterFree> zip(archive_write_new());
    if (!zip)
        return textfile::systemReason(ENOMEM, true);
    // UTF-8 names with the zip's UTF-8 flag, whatever the locale, so that other tools show them.
    if (archive_write_set_format_zip(zip.get()) != ARCHIVE_OK
        || archive_write_set_options(zip.get(), "zip:hdrcharset=UTF-8") != ARCHIVE_OK
        || archive_write_open_fd(zip.get(), fd) != ARCHIVE_OK)
        return archiveReason(zip.get(), cannotWrite);
    for (const StoredFile &file : files) {
        const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        archive_entry_set_pathname_utf8(entry.get(), file.name.toUtf8().constData());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), file.status.st_mode & 07777);
        archive_entry_set_size(entry.get(), file.bytes.size());
        archive_entry_set_mtime(entry.get(), file.status.st_mtim.tv_sec, file.status.st_mtim.tv_nsec);
        if (archive_write_header(zip.get(), entry.get()) != ARCHIVE_OK)
            return archiveReason(zip.get(), cannotWrite);
        qsizetype done = 0;
        while (done < file.bytes.size()) {
            const la_ssize_t written
                = archive_write_data(zip.get(), file.bytes.constData() + done, size_t(file.bytes.size() - done));
            if (written <= 0)
                return archiveReason(zip.get(), cannotWrite);
            done += written;
        }
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        return archiveReason(zip.get(), cannotWrite);
    return {};
}

/// Reads the zip in fd back and compares its entries with the files: the same names in the same
/// order, regular files, the same bytes and modification times. Empty, or why not.
QString verifyZip(int fd, const QList<StoredFile> &files)
{
    const QString cannotRead = QStringLiteral("作ったZIPファイルを読み直せませんでした");
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return textfile::systemReason(errno, false);
    const std::unique_ptr<archive, ArchiveReaderFree> zip(archive_read_new());
    if (!zip)
        return textfile::systemReason(ENOMEM, false);
    if (archive_read_support_format_zip(zip.get()) != ARCHIVE_OK
        || archive_read_open_fd(zip.get(), fd, 64 * 1024) != ARCHIVE_OK)
        return archiveReason(zip.get(), cannotRead);
    const auto differs = [](const QString &name) {
        return QStringLiteral("作ったZIPファイルの中身がデータファイルと一致しません（%1）").arg(name);
    };
    qsizetype index = 0;
    for (;;) {
        archive_entry *entry = nullptr;
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK)
            return archiveReason(zip.get(), cannotRead);
        const char *utf8Name = archive_entry_pathname_utf8(entry);
        const QString name = utf8Name ? QString::fromUtf8(utf8Name) : QString();
        if (index >= files.size())
            return differs(name);
        const StoredFile &file = files.at(index++);
        if (name != file.name || archive_entry_filetype(entry) != AE_IFREG
            || archive_entry_mtime(entry) != file.status.st_mtim.tv_sec)
            return differs(file.name);
        QByteArray bytes;
        char buffer[64 * 1024];
        for (;;) {
            const la_ssize_t read = archive_read_data(zip.get(), buffer, sizeof buffer);
            if (read < 0)
                return archiveReason(zip.get(), cannotRead);
            if (read == 0)
                break;
            bytes.append(buffer, read);
        }
        if (bytes != file.bytes)
            return differs(file.name);
    }
    if (index != files.size())
        return differs(files.at(index).name);
    return {};
}

/// A new hidden file beside path, ".name.XXXXXX", opened for reading and writing; -1 with errno.
int createHiddenBeside(const QString &path, QString &created)
{
    const QFileInfo info(path);
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix.append(QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))]));
        created = info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.' + suffix;
        const int fd = ::open(native(created).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

QStringList diaryDataFileNames()
{
    return { DiaryBook::FileName, SongCatalogue::FileName, ArtistCatalogue::FileName, choicelist::PlaceFile,
        choicelist::MemberFile, choicelist::GenreFile, PersonalData::FileName };
}

QString suggestedBackupName(const QDateTime &time)
{
    return QStringLiteral("カラオケ日記-") + time.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".zip");
}

BackupResult writeBackupArchive(const QDir &dataFolder, const QString &zipPath)
{
    const QString dataPath = dataFolder.absolutePath();
    if (!QFileInfo(dataPath).isDir())
        return failure(exchange::shownPath(dataPath), textfile::systemReason(ENOTDIR, false));
    QList<StoredFile> files;
    for (const QString &name : diaryDataFileNames()) {
        const QString path = textfile::resolveDataFile(dataFolder, name);
        if (!QFileInfo::exists(path))
            continue;
        StoredFile file;
        if (const int error = readStoredFile(path, file))
            return failure(QFileInfo(path).fileName(), textfile::systemReason(error, false));
        files.append(file);
    }
    if (files.isEmpty())
        return failure(exchange::shownPath(dataPath), QStringLiteral("バックアップするデータファイルがありません"));

    const QFileInfo zipInfo(zipPath);
    const QString zipFolder = zipInfo.absolutePath();
    const QString zipName = zipInfo.fileName();
    if (zipName.isEmpty())
        return failure(exchange::shownPath(zipFolder), textfile::systemReason(EISDIR, true));
    if (const int error = exchange::folderRefusal(zipFolder))
        return failure(exchange::shownPath(zipFolder), textfile::systemReason(error, true));
    // The archive must never take a data file's place, nor a name the program would read as one.
    struct stat zipFolderStatus, dataFolderStatus, zipStatus;
    const bool inDataFolder = ::stat(native(zipFolder).constData(), &zipFolderStatus) == 0
        && ::stat(native(dataPath).constData(), &dataFolderStatus) == 0 && sameFile(zipFolderStatus, dataFolderStatus);
    const bool zipExists = ::stat(native(zipInfo.absoluteFilePath()).constData(), &zipStatus) == 0;
    for (const QString &name : diaryDataFileNames()) {
        if (inDataFolder && textfile::sameDataFileName(zipName, name))
            return failure(zipName, QStringLiteral("日記のデータファイルと同じ名前には保存できません"));
    }
    for (const StoredFile &file : files) {
        if (zipExists && sameFile(zipStatus, file.status))
            return failure(zipName, QStringLiteral("日記のデータファイルと同じ名前には保存できません"));
    }
    if (const int error = exchange::fileRefusal(zipInfo.absoluteFilePath()))
        return failure(zipName, textfile::systemReason(error, true));

    QString staged;
    const int fd = createHiddenBeside(zipInfo.absoluteFilePath(), staged);
    if (fd < 0)
        return failure(zipName, textfile::systemReason(errno, true));
    const auto discard = [&](const QString &reason) {
        ::close(fd);
        ::unlink(native(staged).constData());
        return failure(zipName, reason);
    };
    {
        const Utf8Names utf8Names;
        if (const QString reason = writeZip(fd, files); !reason.isEmpty())
            return discard(reason);
        if (::fsync(fd) != 0)
            return discard(textfile::systemReason(errno, true));
        if (const QString reason = verifyZip(fd, files); !reason.isEmpty())
            return discard(reason);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(native(staged).constData());
        return failure(zipName, textfile::systemReason(error, true));
    }
    if (::rename(native(staged).constData(), native(zipInfo.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        ::unlink(native(staged).constData());
        return failure(zipName, textfile::systemReason(error, true));
    }
    if (const int error = textfile::syncFolder(zipFolder))
        return failure(zipName, textfile::systemReason(error, true));

    BackupResult result;
    for (const StoredFile &file : files)
        result.files.append(file.name);
    return result;
}
