#pragma once

#include "textfile/DataFile.h"
#include "textfile/Failure.h"

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

/// A line of the file that is part of no outing, or stands out of place in an outing's header: a
/// note typed between outings, a line of junk. The book keeps it so that every write puts it back
/// where it stood.
struct UnplacedLine
{
    /// Where in entry number `entry` the line stands, in file order. BeforeEntry is outside any
    /// entry (before its marker); the others are inside its header, after the line named.
    enum class Place
    {
        BeforeEntry,
        AfterMarker,
        AfterDate,
        AfterDuration,
        AfterPlace,
        AfterSeparator, ///< between the separator and the members heading
        AfterMembers ///< between the separator after the members and the songs heading
    };

    int entry = 1; ///< 1 to entryCount(); entryCount() + 1 for lines after the last entry
    Place place = Place::BeforeEntry;
    QString text;

    bool operator==(const UnplacedLine &) const = default;
};

/// The diary: outings numbered 1 to entryCount() in file order, and its file "カラオケ.TXT".
/// After every write the book is what a fresh read of the file would give, so it always equals
/// what the file holds.
///
/// How the file is read:
/// - An entry begins at the marker line (31 asterisks) or, when the marker is missing, at a line
///   beginning with "【日付】". A marker followed by no line of an entry before the next marker or
///   the end of the file holds nothing and is unplaced, with the lines after it.
/// - The header lines (date, duration, place, separator, members heading) are taken by their exact
///   prefix or text, in that order. A missing one leaves its field empty; a line that is none of
///   those still to come is unplaced where it stands, as is any line between the separator after
///   the members and the songs heading.
/// - The members run to the separator and the songs to "'", every line data, blank lines apart
///   (they hold nothing and are passed over). A member or song that reads as a line ending its
///   section or beginning an entry ("'", "【選曲】", the marker, a date line) is still data while
///   the entry goes on in order after it: the members end at a separator followed by "【選曲】", the
///   songs at a "'" with a comma in every line before it, and no marker among the members is
///   followed by a date line. Where the order breaks, "'" ends the entry, "【選曲】" begins the
///   songs, and a marker or a date line ends the entry early; its missing "'" is written with it.
///   The writers refuse the only members that cannot read back in order: the separator, and a
///   member beginning with "【日付】" right after a marker.
/// - Every other line outside the entries is unplaced before the entry that follows it.
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
    /// The lines read that are part of no entry's fields, in file order.
    const QVector<UnplacedLine> &unplacedLines() const { return m_unplaced; }
    /// Number of the first entry whose date equals date exactly, or 0 when none has it.
    int findDate(const QString &date) const;
    /// The entry a registration of date changes, with shown the number of the entry on screen (0 for
    /// none): 0 when no entry has date (a new outing); shown when it has date; the one entry that
    /// has it; -1 when several have it and none of them is shown, so that which is meant is unknown.
    int changeTarget(const QString &date, int shown) const;
    /// Whether typed, the outing in the entry inputs, would be lost if they were filled anew: it
    /// differs, in any character, member or song, from entry shown, the one they were filled
    /// from, or from an empty outing when shown is no entry's number (0 after clearing them).
    bool isUnsaved(const DiaryEntry &typed, int shown) const;
    /// Whether text, apart from blanks and tabs around it, is a plain number of hours from 0 to
    /// 24: one or two ASCII digits, or none before a fraction of one or two digits ("2",
    /// "1.5", ".5", "24.00"). No sign, exponent, full-width digit or longer run of digits.
    static bool isPlainDuration(const QString &text);
    /// Whether text is a decimal number (as textfile::decimalNumber reads one) below 0 or above 24:
    /// hours typed as a number, but more than a day holds.
    static bool isDurationOutsideDay(const QString &text);
    /// The last read found the file not as the writers write it: bytes that are not code page 932,
    /// unplaced lines, blank lines passed over, or entry lines missing.
    bool isDamaged() const { return m_damaged; }

    /// Replaces the book with the file's content. A missing file is an empty book, and so is a
    /// file that could not be read.
    textfile::Failure load(const QDir &folder);
    /// Adds one entry at the end of the file (creating it) and takes the file as written. When the
    /// file ends inside an entry, it is rewritten whole instead, so the new entry never joins that
    /// one. An entry with a line break in a field, or with members that cannot read back in order
    /// (see above), is refused as Unencodable naming it. On failure the book and the file stay as
    /// they were.
    textfile::Failure append(const QDir &folder, const DiaryEntry &entry);
    /// Adds the entries at the end, rewriting the whole file, all or none; refuses as append does.
    textfile::Failure appendEntries(const QDir &folder, const QVector<DiaryEntry> &entries);
    /// Replaces entry number with changed, rewrites the whole file and takes it as written. On
    /// failure the book and the file stay as they were. Refuses as append does, and a number that
    /// is no entry's as NoSuchEntry.
    textfile::Failure change(const QDir &folder, int number, const DiaryEntry &changed);
    /// Why entry number cannot be removed: NoSuchEntry when there is no such entry, NotRead when
    /// the last read of the file failed, Unplaced when the file holds lines the reader could not
    /// place (removing an entry could take some with it). None when it can.
    textfile::Failure checkRemoval(int number) const;
    /// Removes entry number, rewrites the whole file and takes it as written; refused as
    /// checkRemoval says. On failure the book and the file stay as they were.
    textfile::Failure remove(const QDir &folder, int number);
    /// Rewrites the whole file from the book, unplaced lines where they stood, and takes it as
    /// written.
    textfile::Failure rewrite(const QDir &folder);

    /// The book held by the file's text.
    static DiaryBook parse(const textfile::DecodedText &decoded);
    /// The lines of one entry exactly as the file holds them (without line ends). Empty members
    /// hold nothing and are left out; every song is written, even one with neither title nor artist.
    static QStringList entryLines(const DiaryEntry &entry);
    /// The lines of the whole book, as rewrite writes them.
    QStringList lines() const;

private:
    /// The book after a write that went through becomes what the file now holds: entries, when
    /// the book was read cleanly and the entry written anew (if any) reads back as itself, which
    /// spares reading the whole file again; otherwise the written bytes read as the file. With
    /// ontoFile the write added its lines after the bytes on disk, which entries stand for only
    /// when the book was read from, or written as, that very version. A failed write leaves the
    /// file as it was, so the unchanged book still equals it.
    textfile::Failure takeWrite(const textfile::Failure &result, const textfile::WrittenFile &written,
        QVector<DiaryEntry> &&entries, const DiaryEntry *anew, bool ontoFile);
    /// Whether the entry's lines, read alone, give back exactly the entry and nothing else.
    static bool readsBackAsItself(const DiaryEntry &entry);

    QVector<DiaryEntry> m_entries;
    QVector<UnplacedLine> m_unplaced;
    bool m_damaged = false;
    bool m_readFailed = false; ///< the last load could not read the file
    bool m_endsInsideEntry = false; ///< the lines ran out inside an entry, before its end line
    textfile::FileVersion m_version; ///< of the file the book was read from or last wrote
};

/// Shortest decimal form of a single-precision value, at most seven significant digits, no point
/// for a whole number.
QString formatHours(float hours);
