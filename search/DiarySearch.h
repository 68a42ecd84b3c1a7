#pragma once

#include "diary/DiaryBook.h"
#include "diary/OutingDate.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

/// The form in which search texts are compared: NFKC (full- and half-width forms become one),
/// case folded, katakana as hiragana. "ＬＥＭＯＮ" and "Lemon" both fold to "lemon", "ﾖｱｿﾋﾞ" and
/// "ヨアソビ" to "よあそび".
QString foldForSearch(const QString &text);

/// The folded terms of a query: split at blanks of any width. Empty for a blank query.
QStringList searchTerms(const QString &query);

/// "title / artist", or the one of them that is not empty.
QString songCaption(const QString &title, const QString &artist);

/// One outing found by a search, with its texts as the diary holds them.
struct SearchHit
{
    int number = 0; ///< outing number, 1 to entryCount()
    QString date;
    QString place;
    /// What matched, e.g. "曲: 夜に駆ける / YOASOBI、場所: 駅前": at most three fields, then "…".
    QString matched;
    bool matchedSong = false;
    QString songTitle; ///< the first song of the outing that matched, when matchedSong
    QString songArtist;
};

/// Folded copies of every outing's date, place, members, song titles and artists, so that a search
/// per keystroke only tests substrings. Built from a book; build again when the book changes.
class DiarySearchIndex
{
public:
    DiarySearchIndex() = default;
    explicit DiarySearchIndex(const DiaryBook &book) { rebuild(book); }

    void rebuild(const DiaryBook &book);
    int outingCount() const { return int(m_outings.size()); }

    /// The outings in which every term of query occurs in some field, in diary order. An outing
    /// matches "佐藤 lemon" when 佐藤 is a member and Lemon a song; no term may span two fields.
    /// A term that reads as a day or a month (readPartialDate: "2021年3月", "2021/3", "11/20")
    /// matches the outings whose date falls on it, however their date is written; an outing whose
    /// date does not read is searched for the term's text, like every other field.
    QVector<SearchHit> search(const QString &query) const;

private:
    struct Outing
    {
        /// Every field folded, each followed by U+0000, which no term holds: date, place, the
        /// members, then each song's title and artist.
        QString folded;
        QVector<int> starts; ///< where each field begins in folded
        QDate day; ///< null when the date does not read
    };

    struct Term
    {
        QString text;
        std::optional<PartialDate> date;
    };

    /// Whether term matches field of outing, or any field when field is -1.
    static bool matches(const Outing &outing, const Term &term, int field);
    SearchHit describe(int index, const QVector<Term> &terms) const;

    QVector<DiaryEntry> m_entries; ///< shares the book's texts, for the words of the results
    QVector<Outing> m_outings;
};

/// One outing in which a song was sung.
struct SongOuting
{
    int number = 0;
    QString date;
    QString place;
    QStringList members;
    int times = 0; ///< how often the song was sung in this outing
    QDate day; ///< null when the date text cannot be read
};

/// Every outing in which one song was sung, in diary order.
struct SongHistory
{
    QString title;
    QString artist;
    QVector<SongOuting> outings;
    int times = 0; ///< over all outings
    /// Indexes into outings of the earliest and the latest day, -1 when there is none. Outings whose
    /// dates cannot be read count only when no date can be read: then diary order decides.
    int first = -1;
    int last = -1;

    /// "初めて: 2025年01月05日　最後: 2026年11月29日　3回", or a line saying it was never sung.
    QString summary() const;
};

/// The history of the song with that title and artist, both compared folded.
SongHistory songHistory(const DiaryBook &book, const QString &title, const QString &artist);
