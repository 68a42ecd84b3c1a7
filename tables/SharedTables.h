#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "personal/PersonalData.h"
#include "tables/Points.h"
#include "textfile/DataFile.h"
#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QObject>

#include <future>

/// How reading each data file of the tables went.
/// An earlier version of a data file to put back.
struct RestoredFile
{
    QString name; ///< the data file, as the program names it
    QByteArray bytes;
};

struct TableReads
{
    textfile::Failure personal;
    textfile::Failure diary;
    textfile::Failure songs;
    textfile::Failure artists;
};

/// The tables as read from a data folder: what SharedTables is made from.
struct ReadTables
{
    QDir folder;
    DiaryBook diary;
    SongCatalogue songs;
    ArtistCatalogue artists;
    PersonalData personal;
    TableReads results;
};

/// Reads the diary and the song and artist catalogues on a thread of its own from the moment it is
/// made, so that the files are read and decoded while the windows are built. Make it once the data
/// folder is taken.
class TablesReading
{
public:
    explicit TablesReading(const QDir &folder);

    /// Waits for the reading when it is not done yet, then reads the personal data here. Once only.
    ReadTables finish();

private:
    QDir m_folder;
    std::future<ReadTables> m_reading;
};

/// A registration or a deletion of this run, as undo and redo put it back: every file it wrote with
/// its bytes before and after, so that undoing gives the files back byte for byte.
struct DiaryStep
{
    enum Kind
    {
        Registration,
        Deletion
    };
    struct File
    {
        QString name; ///< as it is in the folder
        QByteArray before; ///< empty for a file the step made
        QByteArray after;
        textfile::Encoding beforeEncoding = textfile::Encoding::Cp932; ///< which reading them again needs
    };

    Kind kind = Registration;
    QString date; ///< of the outing, as the diary holds it
    /// The outing's number: the one stored for a registration, the one removed for a deletion. After
    /// undo or redo this outing, or the last one when there are fewer, is the one to show.
    int outing = 0;
    QList<File> files;
};

/// The tables every window shows, made from a finished read so that no window sees them half
/// loaded. Windows read them through the const accessors and change them only through the methods
/// below, each of which announces what it changed with one changed() after it went through: the
/// windows follow from that signal. The points and level are kept here, computed after each change.
class SharedTables : public QObject
{
    Q_OBJECT

public:
    enum Table
    {
        Diary = 0x1,
        /// The songs themselves: one added, or the catalogue read again.
        Songs = 0x2,
        /// Only how often songs were sung: the titles a pick list offers stay as they were.
        SingCounts = 0x4,
        Artists = 0x8,
        Personal = 0x10,
        /// The place, member and genre lists, which the windows read from their files.
        Lists = 0x20,
        /// Put back from an earlier version (restoreFiles): what a window showed of the tables named
        /// with it is to be shown anew, not kept as typed.
        Restored = 0x40,
    };
    Q_DECLARE_FLAGS(Tables, Table)
    Q_FLAG(Tables)

    explicit SharedTables(ReadTables &&read);

    const QDir &dataFolder() const { return m_folder; }
    const DiaryBook &diary() const { return m_diary; }
    const SongCatalogue &songs() const { return m_songs; }
    const ArtistCatalogue &artists() const { return m_artists; }
    /// With the points and level as last computed.
    const PersonalData &personal() const { return m_personal; }
    /// The totals as the main window shows them.
    const PointsSummary &points() const { return m_points; }

    /// Reads one of the files again (after its encoding was answered otherwise).
    textfile::Failure readAgain(Table table);

    /// Stores entry as outing target (0: a new one) and counts the song at pickedSong's choice
    /// position as sung, as one save (see saveTogether). The points kept are those of the outing
    /// stored, before the count rises.
    textfile::Failure registerOuting(int target, const DiaryEntry &entry, int pickedSong);
    textfile::Failure removeOuting(int number);
    textfile::Failure addSong(const SongRecord &song);
    textfile::Failure addArtist(const QString &name, const QString &reading);
    /// Saves the name and target as typed; the level follows the new target.
    textfile::Failure savePersonal(const QString &nameText, const QString &targetText);
    /// Adds outings to the diary, new places and members to their lists, and saves the catalogues
    /// as given (those left as they are not written), as one save; then announces them.
    textfile::Failure importOutings(const QVector<DiaryEntry> &outings, const QVector<SongRecord> &songs,
        const QVector<ArtistRecord> &artists, const QStringList &places, const QStringList &members);
    /// Puts the files back as given, all or none (textfile::restoreDataFile in one SaveBatch), then
    /// reads the tables they hold again and announces them.
    textfile::Failure restoreFiles(const QList<RestoredFile> &files);

    /// The registrations and deletions undo() undoes, the last first, and those redo() makes again.
    const QList<DiaryStep> &undoSteps() const { return m_undoSteps; }
    const QList<DiaryStep> &redoSteps() const { return m_redoSteps; }
    /// Puts every file of the step back as it was before it (undo) or after it (redo), as one save,
    /// and reads them again. Refused as ChangedOnDisk when another program changed one of them
    /// since, and as ChangedSinceStep when this program did (a song added to the catalogue).
    textfile::Failure undo();
    textfile::Failure redo();

Q_SIGNALS:
    /// After every change that went through, once, naming the tables it changed.
    void changed(SharedTables::Tables what);

private:
    /// Runs changes, which change tables through their saves, as one save: every file they write
    /// is put in place together or none is (textfile::SaveBatch). changes returns the first result
    /// that is not ok, or ok; whenever the whole is not saved, every table is put back as it was,
    /// so that there is nothing to announce.
    template <typename Changes> textfile::Failure saveTogether(Changes changes)
    {
        const Snapshot before { m_diary, m_songs, m_artists, m_personal };
        textfile::SaveBatch batch(m_folder);
        textfile::Failure result = changes();
        if (result.ok())
            result = batch.commit();
        if (!result.ok()) {
            m_diary = before.diary;
            m_songs = before.songs;
            m_artists = before.artists;
            m_personal = before.personal;
        }
        return result;
    }
    /// The points follow a change of what they count, the level a change of them or of the
    /// target; then the change is told.
    void announce(Tables what);
    void announce(Tables what, const PointsSummary &points);

    /// The files a registration or deletion may write, as the folder holds them now.
    QList<DiaryStep::File> stepFiles() const;
    /// Keeps the step just saved, whose files held before, for undo; a new step ends what can be redone.
    void recordStep(DiaryStep::Kind kind, const QString &date, int outing, const QList<DiaryStep::File> &before);
    textfile::Failure takeStep(QList<DiaryStep> &from, QList<DiaryStep> &to, bool undoing);

    struct Snapshot
    {
        DiaryBook diary;
        SongCatalogue songs;
        ArtistCatalogue artists;
        PersonalData personal;
    };

    QDir m_folder;
    DiaryBook m_diary;
    SongCatalogue m_songs;
    ArtistCatalogue m_artists;
    PersonalData m_personal;
    PointsSummary m_points;
    QList<DiaryStep> m_undoSteps;
    QList<DiaryStep> m_redoSteps;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SharedTables::Tables)
