#include "statistics/DiaryStatistics.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "tables/Points.h"
#include "tests/statistics/KnownDiary.h"

#include <QTest>

class TestDiaryStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void periods_data();
    void periods();
    void rankings_data();
    void rankings();
    void yearsWithoutOutings_data();
    void yearsWithoutOutings();

private:
    DiaryBook m_book;
    DiaryStatistics m_statistics;
};

namespace {

constexpr int Whole = DiaryStatistics::WholeDiary;

QString figuresText(const QString &label, const PeriodFigures &figures)
{
    return QStringLiteral("%1:%2回/%3h").arg(label).arg(figures.outings).arg(formatHours(figures.hours));
}

/// What the chart shows for the period: the months holding outings, or every year and 日付不明.
QString barsText(const DiaryStatistics &statistics, int year)
{
    QStringList bars;
    if (year == Whole) {
        for (const YearFigures &figures : statistics.perYear())
            bars.append(figuresText(figures.label(false), figures.figures));
    } else {
        const auto months = statistics.months(year);
        for (int month = 1; month <= 12; ++month) {
            if (months[month - 1].outings > 0)
                bars.append(figuresText(QString::number(month) + u'月', months[month - 1]));
        }
    }
    return bars.join(u' ');
}

QString rankingText(const Ranking &ranking)
{
    QStringList names;
    for (const RankedName &name : ranking.top)
        names.append(QStringLiteral("%1 %2 %3").arg(name.rank).arg(name.name).arg(name.count));
    if (ranking.moreTied > 0)
        names.append(QStringLiteral("+%1").arg(ranking.moreTied));
    return names.join(u'|');
}

} // namespace

void TestDiaryStatistics::initTestCase()
{
    m_book = knowndiary::book();
    m_statistics.rebuild(m_book);
    QCOMPARE(m_statistics.years(), QVector<int>({ 2026, 2025, 2024 }));
    // Hours are the main window's total to the last bit, durations that do not read counting 0.
    QCOMPARE(m_statistics.period(Whole).figures.hours,
        computePointsSummary(m_book, SongCatalogue(), ArtistCatalogue()).totalHours);
}

void TestDiaryStatistics::periods_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<QString>("summary");

    const QString unknownNote = QStringLiteral("　※日付不明の2回は全期間にだけ数えます");
    QTest::newRow("a year by month; unreadable hours count 0; a tie at the top")
        << 2025 << "1月:2回/3.5h 3月:1回/0h"
        << "2025年: 3回　3.5時間　唄った曲 6曲（異なる曲 4曲）　一番唄った曲: 夜に駆ける / YOASOBI ほか1曲（各2回）"
            + unknownNote;
    QTest::newRow("full-width date; the top shared by all twelve")
        << 2026 << "11月:1回/0.1h 12月:1回/0.2h"
        << "2026年: 2回　0.3時間　唄った曲 12曲（異なる曲 12曲）　一番唄った曲: A / X ほか11曲（各1回）" + unknownNote;
    QTest::newRow("one outing") << 2024 << "12月:1回/0.1h"
                                << "2024年: 1回　0.1時間　唄った曲 1曲（異なる曲 1曲）　一番唄った曲: 夜に駆ける / "
                                   "YOASOBI（1回）"
            + unknownNote;
    QTest::newRow("whole diary by year, unreadable dates in their own bar")
        << Whole << "2024:1回/0.1h 2025:3回/3.5h 2026:2回/0.3h 日付不明:2回/4h"
        << "全期間: 8回（うち日付不明 2回）　7.9時間　唄った曲 21曲（異なる曲 16曲）　一番唄った曲: 夜に駆ける / "
           "YOASOBI（4回）";
    QTest::newRow("a year with no outing")
        << 2023 << ""
        << "2023年: 0回　0時間　唄った曲 0曲（異なる曲 0曲）　一番唄った曲: なし" + unknownNote;
}

void TestDiaryStatistics::periods()
{
    QFETCH(int, year);
    QFETCH(QString, bars);
    QFETCH(QString, summary);

    QCOMPARE(barsText(m_statistics, year), bars);
    QCOMPARE(m_statistics.period(year).summary(), summary);
}

void TestDiaryStatistics::rankings_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("songs");
    QTest::addColumn<QString>("artists");
    QTest::addColumn<QString>("members");
    QTest::addColumn<QString>("places");

    // Equal counts share a rank and keep the order of first appearance; a song sung twice in an
    // outing counts twice, a member named twice once; same title by another artist is another
    // song; blank names and songs without a title are not ranked.
    QTest::newRow("2025") << 2025
                          << "1 夜に駆ける / YOASOBI 2|1 Lemon / 米津玄師 2|3 群青 / YOASOBI 1|3 Lemon / ヨネヅ 1"
                          << "1 YOASOBI 3|2 米津玄師 2|3 ヨネヅ 1"
                          << "1 佐藤 2|2 鈴木 1|2 田中 1"
                          << "1 駅前 1|1 本町 1";
    // Ten are kept when the tenth place is shared; the rest sharing it are counted.
    QTest::newRow("2026: the tenth place shared")
        << 2026
        << "1 A / X 1|1 B / X 1|1 C / X 1|1 D / X 1|1 E / X 1|1 F / X 1|1 G / X 1|1 H / X 1|1 I / X 1|1 J / X 1|+2"
        << "1 X 12"
        << "1 高橋 1"
        << "1 本町 1|1 港 1";
    QTest::newRow("whole diary")
        << Whole
        << "1 夜に駆ける / YOASOBI 4|2 Lemon / 米津玄師 3|3 群青 / YOASOBI 1|3 Lemon / ヨネヅ 1|3 A / X 1|3 B / X 1|"
           "3 C / X 1|3 D / X 1|3 E / X 1|3 F / X 1|+6"
        << "1 X 12|2 YOASOBI 5|3 米津玄師 3|4 ヨネヅ 1"
        << "1 佐藤 3|2 鈴木 2|3 田中 1|3 高橋 1"
        << "1 駅前 3|2 本町 2|2 港 2";
}

void TestDiaryStatistics::rankings()
{
    QFETCH(int, year);
    QFETCH(QString, songs);
    QFETCH(QString, artists);
    QFETCH(QString, members);
    QFETCH(QString, places);

    const PeriodStatistics period = m_statistics.period(year);
    QCOMPARE(rankingText(period.songs), songs);
    QCOMPARE(rankingText(period.artists), artists);
    QCOMPARE(rankingText(period.members), members);
    QCOMPARE(rankingText(period.places), places);
}

void TestDiaryStatistics::yearsWithoutOutings_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<QVector<int>>("years"); // to choose from

    QTest::newRow("years between at 0") << QStringList { "2023/1/1", "いつか", "2020年3月5日" }
                                        << "2020:1回/1h 2021:0回/0h 2022:0回/0h 2023:1回/1h 日付不明:1回/1h"
                                        << QVector<int> { 2023, 2020 };
    QTest::newRow("ten years between, one bar")
        << QStringList { "0226/1/1", "0237/1/1" } << "226:1回/1h 227～:0回/0h 237:1回/1h" << QVector<int> { 237, 226 };
}

void TestDiaryStatistics::yearsWithoutOutings()
{
    QFETCH(QStringList, dates);
    QFETCH(QString, bars);
    QFETCH(QVector<int>, years);

    QStringList lines;
    for (const QString &date : dates)
        lines += DiaryBook::entryLines(knowndiary::outing(date.toUtf8().constData(), "1", "港", {}, {}));
    QByteArray bytes;
    QVERIFY(cp932::encode(textfile::joinLines(lines), &bytes));
    const DiaryStatistics statistics(DiaryBook::parse(bytes));
    QCOMPARE(barsText(statistics, Whole), bars);
    QCOMPARE(statistics.years(), years);
}

QTEST_APPLESS_MAIN(TestDiaryStatistics)
#include "test_diary_statistics.moc"
