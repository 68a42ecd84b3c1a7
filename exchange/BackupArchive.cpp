#include "exchange/BackupArchive.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "exchange/WriteTarget.h"
#include "exchange/Zip.h"
#include "lists/ChoiceList.h"
#include "modules/Modules.h"
#include "personal/PersonalData.h"
#include "textfile/DataFile.h"
#include "textfile/FileReplace.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

/// Reads the file at path with its status taken from the same open file. Not through
/// textfile::readDataFile, which would take the version read for the one the program last saw and
/// so hide a change made by another program from the next save.
int readStoredFile(const QString &path, StoredFile &file)
{
    if (const int error = textfile::readFileBytes(path, file.bytes, &file.status))
        return error;
    file.name = QFileInfo(path).fileName();
    return 0;
}

/// A new hidden file beside path, ".name.XXXXXX", opened for reading and writing and locked while
/// it is open, so that a later backup can tell it from one that a killed run left; -1 with errno.
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
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

/// Removes the hidden archives that backups killed part way left in folder: those no running
/// backup holds locked.
void removeLeftoverArchives(const QString &folder)
{
    static const QRegularExpression leftover(
        QStringLiteral(R"(^\..+\.zip\.[A-Za-z0-9]{6}$)"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &entry : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!leftover.match(entry).hasMatch())
            continue;
        const QByteArray path = native(folder + u'/' + entry);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

/// The zip module's functions, or none and why, naming the archive.
std::pair<const zip::Functions *, textfile::Failure> loadZipModule(const QString &zipName)
{
    QString moduleError;
    const auto getFunctions
        = reinterpret_cast<zip::GetFunctions>(modules::function(zip::Module, zip::FunctionsName, &moduleError));
    if (const zip::Functions *functions = getFunctions ? getFunctions() : nullptr)
        return { functions, textfile::done() };
    return { nullptr, textfile::failure(textfile::Fault::ZipModuleMissing, zipName, 0, moduleError) };
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

textfile::Failure writeBackupArchive(const QDir &dataFolder, const QString &zipPath, QStringList *stored)
{
    const QString dataPath = dataFolder.absolutePath();
    if (!QFileInfo(dataPath).isDir())
        return textfile::failure(textfile::Fault::BackupReadFailed, exchange::shownPath(dataPath), ENOTDIR);
    QList<StoredFile> files;
    for (const QString &name : diaryDataFileNames()) {
        const QString path = textfile::resolveDataFile(dataFolder, name);
        if (!QFileInfo::exists(path))
            continue;
        StoredFile file;
        if (const int error = readStoredFile(path, file))
            return textfile::failure(textfile::Fault::BackupReadFailed, QFileInfo(path).fileName(), error);
        files.append(file);
    }
    if (files.isEmpty())
        return textfile::failure(textfile::Fault::BackupNothingToStore, exchange::shownPath(dataPath));

    const QFileInfo zipInfo(zipPath);
    const QString zipFolder = zipInfo.absolutePath();
    const QString zipName = zipInfo.fileName();
    if (zipName.isEmpty())
        return textfile::failure(textfile::Fault::BackupFailed, exchange::shownPath(zipFolder), EISDIR);
    if (const int error = exchange::folderRefusal(zipFolder))
        return textfile::failure(textfile::Fault::BackupFailed, exchange::shownPath(zipFolder), error);
    // The archive must never take a data file's place, nor a name the program would read as one.
    struct stat zipFolderStatus, dataFolderStatus, zipStatus;
    const bool inDataFolder = ::stat(native(zipFolder).constData(), &zipFolderStatus) == 0
        && ::stat(native(dataPath).constData(), &dataFolderStatus) == 0 && sameFile(zipFolderStatus, dataFolderStatus);
    const bool zipExists = ::stat(native(zipInfo.absoluteFilePath()).constData(), &zipStatus) == 0;
    for (const QString &name : diaryDataFileNames()) {
        if (inDataFolder && textfile::sameDataFileName(zipName, name))
            return textfile::failure(textfile::Fault::BackupNameOfDataFile, zipName);
    }
    for (const StoredFile &file : files) {
        if (zipExists && sameFile(zipStatus, file.status))
            return textfile::failure(textfile::Fault::BackupNameOfDataFile, zipName);
    }
    if (const int error = exchange::fileRefusal(zipInfo.absoluteFilePath()))
        return textfile::failure(textfile::Fault::BackupFailed, zipName, error);

    const auto [zipFunctions, missing] = loadZipModule(zipName);
    if (!zipFunctions)
        return missing;

    removeLeftoverArchives(zipFolder);
    QString staged;
    const int fd = createHiddenBeside(zipInfo.absoluteFilePath(), staged);
    if (fd < 0)
        return textfile::failure(textfile::Fault::BackupFailed, zipName, errno);
    const auto discard = [&](textfile::Failure why) {
        ::close(fd);
        ::unlink(native(staged).constData());
        why.file = zipName;
        return why;
    };
    QList<zip::Entry> entries;
    for (const StoredFile &file : files)
        entries.append({ file.name, file.bytes, file.status.st_mode, file.status.st_mtim });
    if (const textfile::Failure problem = zipFunctions->write(fd, entries); !problem.ok())
        return discard(problem);
    if (::fsync(fd) != 0)
        return discard(textfile::failure(textfile::Fault::BackupFailed, zipName, errno));
    if (const textfile::Failure problem = zipFunctions->verify(fd, entries); !problem.ok())
        return discard(problem);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(native(staged).constData());
        return textfile::failure(textfile::Fault::BackupFailed, zipName, error);
    }
    if (::rename(native(staged).constData(), native(zipInfo.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        ::unlink(native(staged).constData());
        return textfile::failure(textfile::Fault::BackupFailed, zipName, error);
    }
    if (const int error = textfile::syncFolder(zipFolder))
        return textfile::failure(textfile::Fault::BackupFailed, zipName, error);

    for (const StoredFile &file : files) {
        if (stored)
            stored->append(file.name);
    }
    return textfile::done();
}

textfile::Failure readBackupArchive(const QString &zipPath, QList<RestoredFile> *files)
{
    const QString zipName = QFileInfo(zipPath).fileName();
    const auto named = [&zipName](textfile::Failure why) {
        why.file = zipName;
        return why;
    };
    const auto [zipFunctions, missing] = loadZipModule(zipName);
    if (!zipFunctions)
        return missing;
    const int fd = ::open(native(zipPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return textfile::failure(textfile::Fault::RestoreZipUnreadable, zipName, errno);
    QList<zip::Entry> entries;
    const textfile::Failure read = zipFunctions->read(fd, &entries);
    ::close(fd);
    if (!read.ok())
        return named(read);
    QList<RestoredFile> found;
    for (const zip::Entry &entry : std::as_const(entries)) {
        const QStringList names = diaryDataFileNames();
        const auto name = std::find_if(names.cbegin(), names.cend(),
            [&entry](const QString &file) { return textfile::sameDataFileName(file, entry.name); });
        const bool twice = std::any_of(found.cbegin(), found.cend(),
            [&entry](const RestoredFile &file) { return textfile::sameDataFileName(file.name, entry.name); });
        if (name == names.cend() || twice)
            return textfile::failure(textfile::Fault::RestoreZipForeign, zipName, 0, entry.name);
        bool damaged = false;
        textfile::decodeDataFile(entry.bytes, &damaged);
        if (damaged)
            return textfile::failure(textfile::Fault::RestoreUndecodable, *name, 0, zipName);
        found.append({ *name, entry.bytes });
    }
    if (found.isEmpty())
        return textfile::failure(textfile::Fault::RestoreZipEmpty, zipName);
    *files = found;
    return textfile::done();
}
