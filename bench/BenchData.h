#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"

#include <QDir>
#include <QStringList>
#include <QVector>

/// A diary at the program's limits: 300 outings of 10 members and 50 songs, 1000 songs, 500
/// artists, 50 places, 50 members and 30 genres, made the same way on every run.
struct BenchData
{
    QVector<DiaryEntry> outings;
    QVector<SongRecord> songs; ///< in reading order, as the catalogue keeps them
    QVector<ArtistRecord> artists; ///< in reading order
    QStringList places;
    QStringList members;
    QStringList genres;

    /// The song and artist that the "one short" folder leaves out, for the bench to add again.
    int heldBackSong = 0;
    int heldBackArtist = 0;

    static BenchData make();

    /// Writes every data file into folder. oneShort leaves out the last outing, the held-back song
    /// and the held-back artist, so that a registration of each still fits.
    void write(const QDir &folder, bool oneShort) const;
};
