#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class SharedTables;

/// What an import of CSV files would add, and why it cannot when errors is not empty.
struct ImportPlan
{
    QVector<DiaryEntry> outings; ///< to add, in the diary's form, in the order of the file
    QVector<DiaryEntry> skipped; ///< already in the diary: same date, place and songs
    QVector<SongRecord> newSongs;
    QVector<ArtistRecord> newArtists;
    QStringList newPlaces;
    QStringList newMembers;
    /// "3行目: 時間が数字ではありません"; a limit the import would pass, in the program's words.
    QStringList errors;
    /// The whole catalogues as the import leaves them: new records added, sing counts raised.
    QVector<SongRecord> songs;
    QVector<ArtistRecord> artists;

    bool canImport() const { return errors.isEmpty(); }
};

/// The plan of importing outings (the bytes of a CSV file with a header row: this program's
/// outings.csv of either form, or a spreadsheet's file of one row per song or per outing, UTF-8
/// or code page 932, comma or tab separated) into the tables, with the song and artist files
/// exported beside it when given.
ImportPlan planCsvImport(const SharedTables &tables, const QByteArray &outings,
    const std::optional<QByteArray> &songs = std::nullopt, const std::optional<QByteArray> &artists = std::nullopt);

/// The plan of importing the file at path, with songs.csv and artists.csv of its folder when they
/// are there.
ImportPlan planCsvImportFile(const SharedTables &tables, const QString &path);
