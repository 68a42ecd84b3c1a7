#pragma once

#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QString>
#include <QVector>

#include <optional>

struct ArtistRecord
{
    QString name;
    QString reading;

    bool operator==(const ArtistRecord &) const = default;
};

/// The artist catalogue: positions 1 to artistCount() and its file "アーティスト.txt".
class ArtistCatalogue
{
public:
    static constexpr int MaxArtists = 500;
    static inline const QString FileName = QStringLiteral("アーティスト.txt");

    int artistCount() const { return int(m_artists.size()); }
    bool isFull() const { return artistCount() >= MaxArtists; }
    /// Artist by position, 1 to artistCount().
    const ArtistRecord &artist(int position) const { return m_artists.at(position - 1); }
    const QVector<ArtistRecord> &artists() const { return m_artists; }

    /// Reads the file; a missing file is an empty catalogue. Records beyond 500 are kept. After a
    /// failed read the table stays as it was.
    textfile::Failure loadArtistCatalogue(const QDir &folder);
    /// What addArtist would refuse the artist for, the first refusal only, in this order:
    /// ArtistNameMissing, ArtistReadingMissing, ArtistRegistered, ArtistHoldsQuote, Unencodable
    /// (the first such character of the name, else of the reading), ArtistsFull.
    textfile::Failure checkNewArtist(const QString &name, const QString &reading) const;
    /// Appends, sorts by reading with the exchange sort (equal readings may swap) and saves.
    /// Refuses, before writing anything, what checkNewArtist refuses.
    textfile::Failure addArtist(const QDir &folder, const QString &name, const QString &reading);
    /// Saves artists as the whole catalogue, in their order: what an import planned.
    textfile::Failure replaceArtists(const QDir &folder, const QVector<ArtistRecord> &artists)
    {
        return saveArtists(folder, artists);
    }
    /// Position of the first artist whose name equals name exactly; nothing when none does.
    std::optional<int> findArtistPosition(const QString &name) const;

    static QVector<ArtistRecord> parse(const textfile::DecodedText &decoded);
    static QString recordLine(const ArtistRecord &artist);

private:
    /// Writes artists as the file and loads it back; after a failed write the table stays as it was.
    textfile::Failure saveArtists(const QDir &folder, const QVector<ArtistRecord> &artists);

    QVector<ArtistRecord> m_artists;
};
