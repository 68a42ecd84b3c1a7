#pragma once

#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QString>
#include <QVector>

#include <optional>

struct SongRecord
{
    QString title;
    QString reading;
    QString artist;
    QString genre;
    QString shoutLevel;
    QString selfRating;
    qint16 singCount = 0;

    bool operator==(const SongRecord &) const = default;
};

/// The song catalogue: songs in slots 1 to songCount() and its file "曲目.txt". After every save
/// the table is what a fresh load of the file would give, so it always equals what the file holds.
class SongCatalogue
{
public:
    static constexpr int MaxSongs = 1000;
    static inline const QString FileName = QStringLiteral("曲目.txt");

    int songCount() const { return int(m_songs.size()); }
    bool isFull() const { return songCount() >= MaxSongs; }
    /// Song by slot, 1 to songCount().
    const SongRecord &song(int slot) const { return m_songs.at(slot - 1); }
    const QVector<SongRecord> &songs() const { return m_songs; }

    /// Reads the file; a missing file is an empty catalogue. Records beyond 1000 are kept. After a
    /// failed read the table stays as it was.
    textfile::Failure loadSongCatalogue(const QDir &folder);
    /// Raises the count of slot choicePosition + 1 (not beyond 32767), then saves. With
    /// choicePosition -1 no count changes but the file is rewritten all the same.
    textfile::Failure countSongSung(const QDir &folder, int choicePosition);
    /// What addSong would refuse the song for, the first refusal only, in this order:
    /// SongHoldsQuote, Unencodable (the first such character, text fields in file order), SongsFull.
    textfile::Failure checkNewSong(const SongRecord &song) const;
    /// Appends the song, sorts by reading and saves. Refuses, before writing anything, what
    /// checkNewSong refuses.
    textfile::Failure addSong(const QDir &folder, const SongRecord &song);
    /// Saves songs as the whole catalogue, in their order: what an import planned.
    textfile::Failure replaceSongs(const QDir &folder, QVector<SongRecord> songs)
    {
        return saveSongs(folder, std::move(songs), false);
    }
    /// The exchange sort over slots by reading, in UTF-16 code units; equal readings may swap.
    void sortSongsByReading();
    /// Lowest slot whose title equals title exactly.
    std::optional<int> findSongByTitle(const QString &title) const;

    /// The records the file's text holds; *clean, when given, is whether it decoded as code page
    /// 932 without a byte held.
    static QVector<SongRecord> parse(const textfile::DecodedText &decoded, bool *clean = nullptr);
    static QString recordLine(const SongRecord &song);

private:
    /// Writes songs as the file and takes the file as written; after a failed write the table stays
    /// as it was. textsAsHeld: every text of songs is one the table holds, none typed anew.
    textfile::Failure saveSongs(const QDir &folder, QVector<SongRecord> &&songs, bool textsAsHeld);

    QVector<SongRecord> m_songs;
    /// Every text held was read from code page 932 bytes without a byte held, so it is written as
    /// the bytes it was read from, or others that read as the same.
    bool m_readCleanly = true;
};
