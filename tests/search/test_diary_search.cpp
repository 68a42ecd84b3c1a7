#include "search/DiarySearch.h"

#include "tests/search/SmallDiary.h"

#include <QTest>

class TestDiarySearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_index.rebuild(smalldiary::book()); }

    void matchingRules_data();
    void matchingRules();
    void resultsSayWhatMatched_data();
    void resultsSayWhatMatched();
    void songHistoryCountsEverySinging();

private:
    DiarySearchIndex m_index;
};

void TestDiarySearch::matchingRules_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("numbers");

    QTest::newRow("lower case") << "lemon" << QList<int> { 1, 2, 4 };
    QTest::newRow("full-width capitals") << "ＬＥＭＯＮ" << QList<int> { 1, 2, 4 };
    QTest::newRow("mixed case") << "Lemon" << QList<int> { 1, 2, 4 };
    QTest::newRow("hiragana finds katakana") << "よあそび" << QList<int> { 3 };
    QTest::newRow("half-width katakana") << "ﾖｱｿﾋﾞ" << QList<int> { 3 };
    QTest::newRow("katakana finds half-width") << "カラオケ館" << QList<int> { 1, 3 };
    QTest::newRow("terms in different fields") << "佐藤 lemon" << QList<int> { 1, 4 };
    QTest::newRow("full-width blank between terms") << "佐藤　群青" << QList<int> { 3 };
    QTest::newRow("blanks around") << "  群青　" << QList<int> { 3 };
    QTest::newRow("every term must occur") << "田中 群青" << QList<int> {};
    QTest::newRow("no term spans two fields") << "新宿店佐藤" << QList<int> {};
    QTest::newRow("title and artist of one song") << "yoasobi 夜に" << QList<int> { 1, 2, 3, 4 };
    QTest::newRow("date as typed") << "2025/3" << QList<int> { 2 };
    QTest::newRow("date as the diary writes it") << "2025年01" << QList<int> { 1 };
    // A day or a month matches the outings on it, however either is written; else the term is text.
    QTest::newRow("year, month") << "2025年1月" << QList<int> { 1 };
    QTest::newRow("year/month") << "2025/1" << QList<int> { 1 };
    QTest::newRow("year-month, leading zero") << "2025-03" << QList<int> { 2 };
    QTest::newRow("full-width year, month") << "２０２５年３月" << QList<int> { 2 };
    QTest::newRow("day, leading zeros") << "2025/03/09" << QList<int> { 2 };
    QTest::newRow("day with hyphens") << "2024-12-31" << QList<int> { 4 };
    QTest::newRow("day in kanji, one digit") << "2025年1月5日" << QList<int> { 1 };
    QTest::newRow("month/day") << "3/9" << QList<int> { 2 };
    QTest::newRow("not inside another date") << "5/3" << QList<int> {};
    QTest::newRow("a date as a title") << "1/2" << QList<int> { 1 };
    QTest::newRow("year alone is text") << "2025" << QList<int> { 1, 2 };
    QTest::newRow("no day mark is text") << "12月31" << QList<int> { 4 };
    QTest::newRow("another day of the month") << "2025/1/6" << QList<int> {};
    QTest::newRow("empty") << "" << QList<int> {};
    QTest::newRow("only blanks") << " 　 " << QList<int> {};
}

void TestDiarySearch::matchingRules()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, numbers);

    QList<int> found;
    for (const SearchHit &hit : m_index.search(query))
        found.append(hit.number);
    QCOMPARE(found, numbers);
}

void TestDiarySearch::resultsSayWhatMatched_data()
{
    QTest::addColumn<QString>("query");
    // Each hit as "number date place | matched | song it matched first".
    QTest::addColumn<QStringList>("hits");

    QTest::newRow("song") << "lemon"
                          << QStringList {
                                 "1 2025年01月05日 カラオケ館 新宿店 | 曲: Lemon / 米津玄師 | Lemon / 米津玄師",
                                 "2 2025/3/9 駅前ボイスルーム | 曲: ＬＥＭＯＮ / 米津玄師 | ＬＥＭＯＮ / 米津玄師",
                                 "4 2024年12月31日 駅前 | 曲: Lemon / 米津玄師 | Lemon / 米津玄師"
                             };
    QTest::newRow("member") << "佐藤"
                            << QStringList { "1 2025年01月05日 カラオケ館 新宿店 | メンバー: 佐藤 | ",
                                   "3 いつか ｶﾗｵｹ館 渋谷店 | メンバー: 佐藤 | ",
                                   "4 2024年12月31日 駅前 | メンバー: 佐藤伸 | " };
    QTest::newRow("place and date") << "駅前 2025"
                                    << QStringList {
                                           "2 2025/3/9 駅前ボイスルーム | 場所: 駅前ボイスルーム、日付: 2025/3/9 | "
                                       };
    QTest::newRow("a day") << "3月9日" << QStringList { "2 2025/3/9 駅前ボイスルーム | 日付: 2025/3/9 | " };
    QTest::newRow("several songs, first one kept")
        << "ハルジオン 夜に"
        << QStringList { "4 2024年12月31日 駅前 | 曲: 夜に駆ける / YOASOBI、曲: ハルジオン / YOASOBI | "
                         "夜に駆ける / YOASOBI" };
    QTest::newRow("three fields, then a mark")
        << "駅前 佐藤 yoasobi lemon"
        << QStringList { "4 2024年12月31日 駅前 | 曲: 夜に駆ける / YOASOBI、曲: Lemon / 米津玄師、曲: ハルジオン / "
                         "YOASOBI… | 夜に駆ける / YOASOBI" };
}

void TestDiarySearch::resultsSayWhatMatched()
{
    QFETCH(QString, query);
    QFETCH(QStringList, hits);

    QStringList found;
    for (const SearchHit &hit : m_index.search(query)) {
        QCOMPARE(hit.matchedSong, !hit.songTitle.isEmpty());
        found.append(QStringLiteral("%1 %2 %3 | %4 | %5")
                         .arg(QString::number(hit.number), hit.date, hit.place, hit.matched,
                             songCaption(hit.songTitle, hit.songArtist)));
    }
    QCOMPARE(found, hits);
}

void TestDiarySearch::songHistoryCountsEverySinging()
{
    const DiaryBook book = smalldiary::book();

    // Artist and title compared folded: "ＹＯＡＳＯＢＩ" and "yoasobi" are the same artist.
    const SongHistory history = songHistory(book, QStringLiteral("夜に駆ける"), QStringLiteral("Yoasobi"));
    QList<int> numbers, times;
    for (const SongOuting &outing : history.outings) {
        numbers.append(outing.number);
        times.append(outing.times);
    }
    QCOMPARE(numbers, QList<int>({ 1, 2, 3, 4 }));
    QCOMPARE(times, QList<int>({ 1, 2, 1, 1 }));
    QCOMPARE(history.times, 5);
    QCOMPARE(history.outings[2].date, QStringLiteral("いつか"));
    QVERIFY(history.outings[2].day.isNull());
    QCOMPARE(history.outings[3].members, QStringList({ "鈴木", "高橋", "佐藤伸" }));
    QCOMPARE(history.outings[3].place, QStringLiteral("駅前"));
    // First and last by date, not by place in the diary; the unreadable date plays no part.
    QCOMPARE(history.first, 3);
    QCOMPARE(history.last, 1);
    QCOMPARE(history.summary(), QStringLiteral("初めて: 2024年12月31日　最後: 2025/3/9　5回"));

    // With no date to read, diary order decides.
    const SongHistory unread = songHistory(book, QStringLiteral("群青"), QStringLiteral("よあそび"));
    QCOMPARE(unread.outings.size(), 1);
    QCOMPARE(unread.summary(), QStringLiteral("初めて: いつか　最後: いつか　1回"));

    // Same title, other artist: another song.
    const SongHistory none = songHistory(book, QStringLiteral("夜に駆ける"), QStringLiteral("米津玄師"));
    QVERIFY(none.outings.isEmpty());
    QCOMPARE(none.first, -1);
    QCOMPARE(none.summary(), QStringLiteral("この曲を唄った記録はありません"));
}

QTEST_GUILESS_MAIN(TestDiarySearch)
#include "test_diary_search.moc"
