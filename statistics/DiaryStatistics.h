#pragma once

#include "diary/DiaryBook.h"

#include <QString>
#include <QVector>

#include <array>

/// How many outings and hours a period holds. Hours are summed as the main window's total is:
/// each duration read by textfile::decimalNumber (0 when it does not read), added in diary order
/// in single precision, so the whole diary's hours equal that total exactly.
struct PeriodFigures
{
    int outings = 0;
    float hours = 0;

    bool operator==(const PeriodFigures &) const = default;
};

/// One bar of the per-year figures.
struct YearFigures
{
    int year = 0; ///< 0 for the outings whose date does not read (日付不明)
    PeriodFigures figures;
    /// The bar stands for year and the years after it up to the next bar, none with an outing.
    bool longGap = false;

    /// "2026年", "2011年～" for a long gap, or 日付不明; without 年 when yearMark is false.
    QString label(bool yearMark) const;

    bool operator==(const YearFigures &) const = default;
};

/// A name of a ranking with how often it came.
struct RankedName
{
    /// 1 + the number of names counted more often, so that equal counts share a rank (1, 2, 2, 4).
    int rank = 0;
    QString name; ///< for a song "title / artist", or the title alone when it has no artist
    QString title; ///< songs only
    QString artist; ///< songs only
    int count = 0;

    bool operator==(const RankedName &) const = default;
};

/// The names counted most often, at most DiaryStatistics::TopCount. Order: count descending, then
/// the name's first appearance in diary order (outings in file order, songs and members in their
/// order within the outing), so equal counts keep the order the user wrote them in. When names
/// beyond the tenth share its count, exactly ten are kept and moreTied says how many were left out.
struct Ranking
{
    QVector<RankedName> top;
    int moreTied = 0;

    bool operator==(const Ranking &) const = default;
};

/// What the statistics window shows for one period: one year, or the whole diary.
///
/// Songs are told apart by title and artist exactly as written; a song sung twice in an outing
/// counts twice, and so does its artist. Members and places count once per outing. Songs without a
/// title, and blank artists, members and places, are not ranked.
struct PeriodStatistics
{
    int year = 0; ///< DiaryStatistics::WholeDiary for the whole diary
    PeriodFigures figures;
    int songsSung = 0;
    int differentSongs = 0;
    /// Outings whose date does not read: counted in the whole diary, in no year.
    int unknownDates = 0;
    Ranking songs;
    Ranking artists;
    Ranking members;
    Ranking places;

    /// "2026年" or "全期間".
    QString label() const;
    /// One line: "2026年: 12回　36.5時間　唄った曲 140曲（異なる曲 95曲）　一番唄った曲: 夜に駆ける /
    /// YOASOBI（6回）", with a note on the outings of unreadable date when there are any.
    QString summary() const;
};

/// Figures of the diary's outings by month and by year, and rankings of a period. Built from a
/// book; build again when the book changes.
class DiaryStatistics
{
public:
    static constexpr int WholeDiary = 0;
    static constexpr int TopCount = 10;
    /// A mistyped year such as 0226 would otherwise draw a bar for every year between.
    static constexpr int LongGapYears = 10;
    static inline const QString UnknownDateLabel = QStringLiteral("日付不明");
    static inline const QString WholeDiaryLabel = QStringLiteral("全期間");

    DiaryStatistics() = default;
    explicit DiaryStatistics(const DiaryBook &book) { rebuild(book); }

    void rebuild(const DiaryBook &book);

    /// The years in which some outing falls, newest first.
    QVector<int> years() const;
    /// January at index 0.
    std::array<PeriodFigures, 12> months(int year) const;
    /// Every year from the first outing's to the last one's, oldest first, those without outings
    /// at 0 (LongGapYears or more of them in a row as one bar); then the outings of unreadable date
    /// as year 0 when any.
    QVector<YearFigures> perYear() const;
    /// The year's figures and rankings, or the whole diary's for WholeDiary.
    PeriodStatistics period(int year) const;

private:
    struct Outing
    {
        int year = 0; ///< 0 when the date does not read
        int month = 0;
        double duration = 0;
    };

    QVector<DiaryEntry> m_entries; ///< shares the book's texts
    QVector<Outing> m_outings;
};
