#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "personal/PersonalData.h"
#include "textfile/LoadResult.h"

#include <QDir>

#include <future>

/// How reading each of the three large tables went.
struct TableReads
{
    LoadResult diary;
    LoadResult songs;
    LoadResult artists;
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

    QDir dataFolder;
    DiaryBook diary;
    SongCatalogue songs;
    ArtistCatalogue artists;
    PersonalData personal;

private:
    struct Read
    {
        DiaryBook diary;
        SongCatalogue songs;
        ArtistCatalogue artists;
        TableReads results;
    };
    std::future<Read> m_reading;
};
