#include "tables/SharedTables.h"

#include "lists/ChoiceList.h"
#include "textfile/FileReplace.h"

#include <QFileInfo>

#include <cerrno>

TablesReading::TablesReading(const QDir &folder)
    : m_folder(folder)
{
    // A QDir of its own: a QDir may cache what it found on disk, and a shared one would be changed
    // from both threads.
    m_reading = std::async(std::launch::async, [path = folder.path()] {
        ReadTables read;
        read.folder = QDir(path);
        read.results.diary = read.diary.load(read.folder);
        read.results.songs = read.songs.loadSongCatalogue(read.folder);
        read.results.artists = read.artists.loadArtistCatalogue(read.folder);
        return read;
    });
}

ReadTables TablesReading::finish()
{
    ReadTables read = m_reading.get();
    read.folder = m_folder;
    read.results.personal = readPersonalData(m_folder, read.personal);
    return read;
}

SharedTables::SharedTables(ReadTables &&read)
    : m_folder(read.folder)
    , m_diary(std::move(read.diary))
    , m_songs(std::move(read.songs))
    , m_artists(std::move(read.artists))
    , m_personal(read.personal)
{
    m_points = computePointsSummary(m_diary, m_songs, m_artists);
    m_personal.currentPoints = m_points.currentPoints;
    m_personal.levelPercent = computeLevelPercent(m_personal.currentPoints, m_personal.targetPoints);
}

textfile::Failure SharedTables::readAgain(Table table)
{
    textfile::Failure read;
    switch (table) {
    case Diary:
        read = m_diary.load(m_folder);
        break;
    case Songs:
    case SingCounts:
        table = Songs;
        read = m_songs.loadSongCatalogue(m_folder);
        break;
    case Artists:
        read = m_artists.loadArtistCatalogue(m_folder);
        break;
    case Personal:
        read = readPersonalData(m_folder, m_personal);
        break;
    case Lists: // not held here: the windows read them from their files
    case Restored:
        break;
    }
    // A failed read may have emptied the table all the same.
    announce(table);
    return read;
}

textfile::Failure SharedTables::registerOuting(int target, const DiaryEntry &entry, int pickedSong)
{
    PointsSummary points;
    const QList<DiaryStep::File> before = stepFiles();
    const textfile::Failure saved = saveTogether([&] {
        const textfile::Failure written
            = target == 0 ? m_diary.append(m_folder, entry) : m_diary.change(m_folder, target, entry);
        if (!written.ok())
            return written;
        points = computePointsSummary(m_diary, m_songs, m_artists);
        return m_songs.countSongSung(m_folder, pickedSong);
    });
    if (saved.ok()) {
        recordStep(DiaryStep::Registration, entry.date, target == 0 ? m_diary.entryCount() : target, before);
        announce(Diary | SingCounts, points);
    }
    return saved;
}

textfile::Failure SharedTables::removeOuting(int number)
{
    const QString date = number >= 1 && number <= m_diary.entryCount() ? m_diary.entry(number).date : QString();
    const QList<DiaryStep::File> before = stepFiles();
    const textfile::Failure removed = m_diary.remove(m_folder, number);
    if (removed.ok()) {
        recordStep(DiaryStep::Deletion, date, number, before);
        announce(Diary);
    }
    return removed;
}

textfile::Failure SharedTables::addSong(const SongRecord &song)
{
    const textfile::Failure added = m_songs.addSong(m_folder, song);
    if (added.ok())
        announce(Songs);
    return added;
}

textfile::Failure SharedTables::addArtist(const QString &name, const QString &reading)
{
    const textfile::Failure added = m_artists.addArtist(m_folder, name, reading);
    if (added.ok())
        announce(Artists);
    return added;
}

textfile::Failure SharedTables::savePersonal(const QString &nameText, const QString &targetText)
{
    const textfile::Failure saved = savePersonalData(m_folder, m_personal, nameText, targetText);
    if (saved.ok())
        announce(Personal);
    return saved;
}

textfile::Failure SharedTables::undo()
{
    return takeStep(m_undoSteps, m_redoSteps, true);
}

textfile::Failure SharedTables::redo()
{
    return takeStep(m_redoSteps, m_undoSteps, false);
}

QList<DiaryStep::File> SharedTables::stepFiles() const
{
    // Read as they are, past what the run remembers of them: a plain read changes nothing there.
    QList<DiaryStep::File> files;
    for (const QString &name : { DiaryBook::FileName, SongCatalogue::FileName }) {
        const QString path = textfile::resolveDataFile(m_folder, name);
        DiaryStep::File file { QFileInfo(path).fileName(), {}, {}, textfile::Encoding::Cp932 };
        if (const int error = textfile::readFileBytes(path, file.before); error != 0 && error != ENOENT)
            return {};
        file.beforeEncoding = textfile::encodingOf(file.before).encoding;
        files.append(file);
    }
    return files;
}

void SharedTables::recordStep(
    DiaryStep::Kind kind, const QString &date, int outing, const QList<DiaryStep::File> &before)
{
    m_redoSteps.clear();
    const QList<DiaryStep::File> after = stepFiles();
    // Without the bytes of either side the files are now in a state no step knows.
    if (before.isEmpty() || after.isEmpty()) {
        m_undoSteps.clear();
        return;
    }
    DiaryStep step { kind, date, outing, {} };
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (after.at(i).before != before.at(i).before)
            step.files.append(
                { before.at(i).name, before.at(i).before, after.at(i).before, before.at(i).beforeEncoding });
    }
    if (!step.files.isEmpty())
        m_undoSteps.append(step);
}

textfile::Failure SharedTables::takeStep(QList<DiaryStep> &from, QList<DiaryStep> &to, bool undoing)
{
    if (from.isEmpty())
        return textfile::done();
    const DiaryStep &step = from.last();
    const textfile::Failure saved = saveTogether([&] {
        for (const DiaryStep::File &file : step.files) {
            const textfile::Failure written
                = textfile::rewriteDataFile(m_folder, file.name, undoing ? file.before : file.after);
            if (!written.ok())
                return written;
            // A change by another program was refused just now, so one left is this program's own.
            QByteArray now;
            textfile::readFileBytes(textfile::resolveDataFile(m_folder, file.name), now);
            if (now != (undoing ? file.after : file.before))
                return textfile::failure(textfile::Fault::ChangedSinceStep, file.name);
        }
        return textfile::done();
    });
    if (!saved.ok())
        return saved;
    to.append(from.takeLast());
    Tables what = Diary;
    textfile::Failure read;
    for (const DiaryStep::File &file : to.last().files) {
        // Bytes of another editor's that this program rewrote read in their own encoding again.
        if (undoing)
            textfile::settleEncoding(file.before, file.beforeEncoding);
        const bool songs = textfile::sameDataFileName(file.name, SongCatalogue::FileName);
        const textfile::Failure loaded = songs ? m_songs.loadSongCatalogue(m_folder) : m_diary.load(m_folder);
        if (read.ok())
            read = loaded;
        if (songs)
            what |= SingCounts;
    }
    announce(what);
    return textfile::readBack(read);
}

textfile::Failure SharedTables::importOutings(const QVector<DiaryEntry> &outings, const QVector<SongRecord> &songs,
    const QVector<ArtistRecord> &artists, const QStringList &places, const QStringList &members)
{
    Tables what;
    const textfile::Failure saved = saveTogether([&] {
        textfile::Failure result = textfile::done();
        const auto step = [&](Table table, bool needed, const auto &write) {
            if (needed && result.ok()) {
                result = write();
                what |= table;
            }
        };
        step(Diary, !outings.isEmpty(), [&] { return m_diary.appendEntries(m_folder, outings); });
        step(Songs, songs != m_songs.songs(), [&] { return m_songs.replaceSongs(m_folder, songs); });
        step(Artists, artists != m_artists.artists(), [&] { return m_artists.replaceArtists(m_folder, artists); });
        for (const QString &place : places)
            step(Lists, true, [&] { return choicelist::append(m_folder, choicelist::PlaceFile, place); });
        for (const QString &member : members)
            step(Lists, true, [&] { return choicelist::append(m_folder, choicelist::MemberFile, member); });
        return result;
    });
    if (saved.ok() && what)
        announce(what);
    return saved;
}

textfile::Failure SharedTables::restoreFiles(const QList<RestoredFile> &files)
{
    textfile::SaveBatch batch(m_folder);
    for (const RestoredFile &file : files) {
        if (const textfile::Failure restored = textfile::restoreDataFile(m_folder, file.name, file.bytes);
            !restored.ok())
            return restored;
    }
    if (const textfile::Failure committed = batch.commit(); !committed.ok())
        return committed;
    Tables what;
    textfile::Failure read;
    const auto readAgain = [&](Table table, textfile::Failure loaded) {
        what |= table;
        if (read.ok())
            read = textfile::readBack(loaded);
    };
    for (const RestoredFile &file : files) {
        const auto is = [&file](const QString &name) { return textfile::sameDataFileName(file.name, name); };
        if (is(DiaryBook::FileName))
            readAgain(Diary, m_diary.load(m_folder));
        else if (is(SongCatalogue::FileName))
            readAgain(Songs, m_songs.loadSongCatalogue(m_folder));
        else if (is(ArtistCatalogue::FileName))
            readAgain(Artists, m_artists.loadArtistCatalogue(m_folder));
        else if (is(PersonalData::FileName))
            readAgain(Personal, readPersonalData(m_folder, m_personal));
        else // a list of places, members or genres
            what |= Lists;
    }
    announce(what | Restored);
    return read;
}

void SharedTables::announce(Tables what)
{
    // A change of the personal data alone keeps the points as they were last computed.
    announce(what, what == Tables(Personal) ? m_points : computePointsSummary(m_diary, m_songs, m_artists));
}

void SharedTables::announce(Tables what, const PointsSummary &points)
{
    m_points = points;
    m_personal.currentPoints = points.currentPoints;
    m_personal.levelPercent = computeLevelPercent(points.currentPoints, m_personal.targetPoints);
    Q_EMIT changed(what);
}
