#pragma once

#include "textfile/SaveResult.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QVector>

/// One karaoke outing. Members and songs are held exactly as read; the limits of 10 members and 50
/// songs bind what the user enters, not what an older file holds.
struct DiaryEntry
{
    QString date;
    QString duration;
    QString place;
    QStringList members;
    QStringList songTitles;
    QStringList songArtists; ///< parallel to songTitles, same length

    bool operator==(const DiaryEntry &) const = default;
};

/// The diary: outings numbered 1 to entryCount() in file order, and its file "カラオケ.TXT".
/// Every write is followed by a fresh read, so the book always equals what the file holds.
class DiaryBook
{
public:
    static constexpr int MaxEntries = 300;
    static constexpr int MaxMembers = 10;
    static constexpr int MaxSongs = 50;
    static inline const QString FileName = QStringLiteral("カラオケ.TXT");

    int entryCount() const { return int(m_entries.size()); }
    bool isFull() const { return entryCount() >= MaxEntries; }
    /// Entry by number, 1 to entryCount().
    const DiaryEntry &entry(int number) const { return m_entries.at(number - 1); }
    const QVector<DiaryEntry> &entries() const { return m_entries; }
    /// Number of the first entry whose date equals date exactly, or 0 when none has it.
    int findDate(const QString &date) const;
    /// The last read had to hold bytes that are not code page 932 or pass over lines out of place.
    bool isDamaged() const { return m_damaged; }

    /// Replaces the book with the file's content. A missing file is an empty book.
    SaveResult load(const QDir &folder);
    /// Adds one entry at the end of the file (creating it) and reads the file back; a damaged file
    /// is rewritten whole in the writers' form. An entry with a line break in a field is refused as
    /// Unencodable, naming the line break. On failure the book and the file stay as they were.
    SaveResult append(const QDir &folder, const DiaryEntry &entry);
    /// Replaces entry number with changed, rewrites the whole file and reads it back. On failure
    /// the book and the file stay as they were. Line breaks are refused as by append.
    SaveResult change(const QDir &folder, int number, const DiaryEntry &changed);
    /// Rewrites the whole file from the book and reads it back.
    SaveResult rewrite(const QDir &folder);

    /// The book held by the given file bytes.
    static DiaryBook parse(const QByteArray &bytes);
    /// The lines of one entry exactly as the file holds them (without line ends). Empty members
    /// hold nothing and are left out; every song is written, even one with neither title nor artist.
    static QStringList entryLines(const DiaryEntry &entry);
    /// The lines of the whole book.
    QStringList lines() const;

private:
    /// Reads the file back after a successful write, so that the book equals what was written.
    SaveResult loadAfterWrite(const QDir &folder, const SaveResult &written);

    QVector<DiaryEntry> m_entries;
    bool m_damaged = false;
};
