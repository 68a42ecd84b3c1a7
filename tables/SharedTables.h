#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "personal/PersonalData.h"

#include <QDir>

/// The tables every window reads and changes in place. One instance lives for the whole run and
/// is handed to each window by reference.
struct SharedTables
{
    explicit SharedTables(const QDir &folder)
        : dataFolder(folder)
    {
    }

    QDir dataFolder;
    DiaryBook diary;
    SongCatalogue songs;
    ArtistCatalogue artists;
    PersonalData personal;
};
