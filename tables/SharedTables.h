#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "personal/PersonalData.h"
#include "textfile/Failure.h"

#include <QDir>

#include <future>

/// How reading each of the three large tables went.
struct TableReads
{
    textfile::Failure diary;
    textfile::Failure songs;
    textfile::Failure artists;
};

/// The tables every window reads and changes in place. One instance lives for the whole run and
/// is handed to each window by reference.
struct SharedTables
{
    explicit SharedTables(const QDir &folder)
        : dataFolder(folder)
    {
    }

    /// Starts reading the diary and the song and artist catalogues on a thread of their own, so
    /// that the files are read and decoded while the windows are built. Call once the data folder
    /// is taken; the tables stay as they are until finishReading.
    void startReading();
    /// Puts the diary and the catalogues in place as read (started here when startReading was not
    /// called), waiting for the reading when it is not done yet.
    TableReads finishReading();

    /// Runs changes, which change tables through their saves, as one save: every file they write
    /// is put in place together or none is (textfile::SaveBatch). changes returns the first result
    /// that is not ok, or ok; whenever the whole is not saved, every table is put back as it was.
    template <typename Changes> textfile::Failure saveTogether(Changes changes)
    {
        const Snapshot before { diary, songs, artists, personal };
        textfile::SaveBatch batch(dataFolder);
        textfile::Failure result = changes();
        if (result.ok())
            result = batch.commit();
        if (!result.ok()) {
            diary = before.diary;
            songs = before.songs;
            artists = before.artists;
            personal = before.personal;
        }
        return result;
    }

    QDir dataFolder;
    DiaryBook diary;
    SongCatalogue songs;
    ArtistCatalogue artists;
    PersonalData personal;

private:
    struct Snapshot
    {
        DiaryBook diary;
        SongCatalogue songs;
        ArtistCatalogue artists;
        PersonalData personal;
    };
    struct Read
    {
        DiaryBook diary;
        SongCatalogue songs;
        ArtistCatalogue artists;
        TableReads results;
    };
    std::future<Read> m_reading;
};
