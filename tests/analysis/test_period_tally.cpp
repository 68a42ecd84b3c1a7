#include "analysis/PeriodTally.h"

#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <QTest>

namespace {

/// One outing per list; each song is "title/artist".
DiaryBook diaryOf(const QList<QStringList> &outings)
{
    QStringList lines;
    for (int i = 0; i < outings.size(); ++i) {
        DiaryEntry entry;
        entry.date = QStringLiteral("2026年02月%1日").arg(i + 1, 2, 10, QLatin1Char('0'));
        entry.duration = QStringLiteral("1");
        for (const QString &song : outings[i]) {
            entry.songTitles.append(song.section(u'/', 0, 0));
            entry.songArtists.append(song.section(u'/', 1));
        }
        lines += DiaryBook::entryLines(entry);
    }
    QByteArray bytes;
    cp932::encode(textfile::joinLines(lines), &bytes);
    return DiaryBook::parse(bytes);
}

PeriodTallyRow row(const QString &title, const QString &artist, int count)
{
    return { title, artist, count };
}

} // namespace

class TestPeriodTally : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runEndsAtTheCurrentItem_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("top to bottom") << 1 << 2 << 1 << 2;
        QTest::newRow("7 then shift-click 5") << 5 << 3 << 4 << 6;
        QTest::newRow("ctrl-click 1 and 4") << 4 << 2 << 4 << 5;
        QTest::newRow("single date") << 3 << 1 << 4 << 4;
        QTest::newRow("above the first outing") << 0 << 3 << 1 << 1;
    }

    void runEndsAtTheCurrentItem()
    {
        QFETCH(int, current);
        QFETCH(int, selected);
        QFETCH(int, first);
        QFETCH(int, last);
        const PeriodRun run = periodRun(current, selected);
        QCOMPARE(run.firstEntry, first);
        QCOMPARE(run.lastEntry, last);
    }

    void nothingSelectedIsAnEmptyRun()
    {
        const DiaryBook diary = diaryOf({ { "A/x" } });
        QVERIFY(tallyPeriod(diary, periodRun(0, 0)).isEmpty());
        QVERIFY(tallyPeriod(diary, periodRun(-1, 0)).isEmpty());
        QVERIFY(tallyPeriod(diary, periodRun(-1, 1)).isEmpty());
    }

    void countsInOrderOfFirstOccurrence()
    {
        const DiaryBook diary = diaryOf({ { "A/a1", "B/b1" }, { "B/b2", "C/c1" }, { "D/d1" } });
        const QVector<PeriodTallyRow> expected { row("A", "a1", 1), row("B", "b1", 2), row("C", "c1", 1) };
        QCOMPARE(tallyPeriod(diary, periodRun(1, 2)), expected);
        QCOMPARE(tallyPeriod(diary, periodRun(2, 1)), QVector<PeriodTallyRow> { row("D", "d1", 1) });
    }

    void titlesMatchExactlyAndRepeatsCount()
    {
        const DiaryBook diary = diaryOf({ { "Ａ/full", "a/lower", "A/upper", "A/again" }, { "a/later" } });
        const QVector<PeriodTallyRow> expected { row("Ａ", "full", 1), row("a", "lower", 2), row("A", "upper", 2) };
        QCOMPARE(tallyPeriod(diary, periodRun(1, 2)), expected);
    }

    void everySongLineCountsUpToAnEmptyTitle()
    {
        QStringList many;
        for (int i = 0; i < 60; ++i)
            many.append(QStringLiteral("S%1/x").arg(i));
        const DiaryBook diary = diaryOf({ many, { "E/x", "/nobody", "F/x" } });
        QCOMPARE(tallyPeriod(diary, periodRun(0, 1)).size(), 60);
        QCOMPARE(tallyPeriod(diary, periodRun(1, 1)), QVector<PeriodTallyRow> { row("E", "x", 1) });
    }

    void outingsWithoutSongsGiveNoRows()
    {
        const DiaryBook diary = diaryOf({ { "A/x" }, {}, {} });
        QVERIFY(tallyPeriod(diary, periodRun(2, 2)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPeriodTally)
#include "test_period_tally.moc"
