#include "tables/Points.h"
#include "tests/support/FreshRun.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

DiaryBook diaryWithDurations(const QStringList &durations)
{
    QStringList lines;
    for (int i = 0; i < durations.size(); ++i) {
        DiaryEntry entry;
        entry.date = QStringLiteral("2026年01月%1日").arg(i + 1, 2, 10, QLatin1Char('0'));
        entry.duration = durations[i];
        lines += DiaryBook::entryLines(entry);
    }
    QByteArray bytes;
    cp932::encode(textfile::joinLines(lines), &bytes);
    return DiaryBook::parse(bytes);
}

} // namespace

class TestPoints : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_dir = QDir(m_folder->path());
        textfile::resetBackupsForTesting();
        m_songs = SongCatalogue();
        m_artists = ArtistCatalogue();
    }

    void workedExample()
    {
        addSong(2, QStringLiteral("◎"));
        addSong(0, QStringLiteral("×"));
        addSong(5, QString());
        QVERIFY(m_artists.addArtist(m_dir, QStringLiteral("甲"), QStringLiteral("こう")).ok());
        QVERIFY(m_artists.addArtist(m_dir, QStringLiteral("乙"), QStringLiteral("おつ")).ok());
        const PointsSummary summary = computePointsSummary(diaryWithDurations({ "1.5", "2.0" }), m_songs, m_artists);
        QCOMPARE(summary.artistText(), QStringLiteral("2名"));
        QCOMPARE(summary.songText(), QStringLiteral("3曲"));
        QCOMPARE(summary.singText(), QStringLiteral("7回"));
        QCOMPARE(summary.hoursText(), QStringLiteral("3.5ｈ"));
        QCOMPARE(summary.ratingText(), QStringLiteral("4ｐ"));
        QCOMPARE(summary.pointText(), QStringLiteral("Point 19"));
        const qint64 level = computeLevelPercent(summary.currentPoints, 100);
        QCOMPARE(level, qint64(19));
        QCOMPARE(litBarCount(level), 1);
    }

    void emptyTablesGiveZeroEverywhere()
    {
        const PointsSummary summary = computePointsSummary(DiaryBook(), m_songs, m_artists);
        const QStringList texts { summary.artistText(), summary.songText(), summary.singText(), summary.hoursText(),
            summary.ratingText(), summary.pointText() };
        QCOMPARE(texts, (QStringList { "0名", "0曲", "0回", "0ｈ", "0ｐ", "Point 0" }));
        QCOMPARE(computeLevelPercent(0, 1), qint64(0));
    }

    void onlyExactMarksScore()
    {
        QCOMPARE(selfRatingScore(QStringLiteral("○")), 2);
        QCOMPARE(selfRatingScore(QStringLiteral("◎ ")), 0);
        QCOMPARE(selfRatingScore(QStringLiteral("◯")), 0);
        QCOMPARE(selfRatingScore(QStringLiteral("x")), 0);
    }

    void durationsThatAreNotNumbersCountZero()
    {
        const PointsSummary summary = computePointsSummary(
            diaryWithDurations({ "1", " 1.5 ", "2時間", "", "1e3", ".5", "abc" }), m_songs, m_artists);
        QCOMPARE(summary.hoursText(), QStringLiteral("3ｈ"));
        QCOMPARE(summary.currentPoints, qint64(3));
        // Half hours only show: 2.5 hours give 2 points.
        QCOMPARE(computePointsSummary(diaryWithDurations({ "2", "0.5" }), m_songs, m_artists).currentPoints, qint64(2));
    }

    void sumsBeyondSixteenBitsStayWhole()
    {
        for (int i = 0; i < 16; ++i)
            addSong(32767, QStringLiteral("◎"));
        addSong(29388, QString());
        PointsSummary summary = computePointsSummary(DiaryBook(), m_songs, m_artists);
        QCOMPARE(summary.singText(), QStringLiteral("553660回"));
        QCOMPARE(summary.pointText(), QStringLiteral("Point 553725")); // 553660 + 48 + 17 songs

        m_songs = SongCatalogue();
        addSong(-32768, QString());
        addSong(-32768, QString());
        summary = computePointsSummary(DiaryBook(), m_songs, m_artists);
        QCOMPARE(summary.singText(), QStringLiteral("-65536回"));
        QCOMPARE(summary.currentPoints, qint64(-65534));

        summary = computePointsSummary(diaryWithDurations({ "40000" }), SongCatalogue(), m_artists);
        QCOMPARE(summary.hoursText(), QStringLiteral("40000ｈ"));
        QCOMPARE(summary.currentPoints, qint64(40000));
    }

    void levelRoundsHalfToEven_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("level");
        QTest::newRow("12.5") << 1 << 8 << 12;
        QTest::newRow("37.5") << 3 << 8 << 38;
        QTest::newRow("7.6") << 19 << 250 << 8;
        QTest::newRow("target 0") << 19 << 0 << 0;
        QTest::newRow("negative target") << 19 << -5 << 0;
        QTest::newRow("beyond 16 bits") << 32767 << 1 << 3276700;
        QTest::newRow("below 16 bits") << -32768 << 1 << -3276800;
        QTest::newRow("wide points") << 553725 << 30000 << 1846;
    }

    void levelRoundsHalfToEven()
    {
        QFETCH(int, points);
        QFETCH(int, target);
        QFETCH(int, level);
        QCOMPARE(computeLevelPercent(points, qint16(target)), qint64(level));
    }

    void barsLightByTens()
    {
        const QList<std::pair<int, int>> levelsAndBars { { 9, 0 }, { 10, 1 }, { 99, 9 }, { 100, 10 }, { 250, 10 },
            { -10, 0 }, { 3276700, 10 } };
        for (const auto &[level, bars] : levelsAndBars)
            QCOMPARE(litBarCount(level), bars);
    }

    void hoursUseTheShortestSingleForm_data()
    {
        QTest::addColumn<float>("hours");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 3.0f << "3";
        QTest::newRow("half") << 3.5f << "3.5";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("third") << 1.0f / 3 << "0.3333333";
        QTest::newRow("large") << 123456.8f << "123456.8";
        QTest::newRow("beyond seven digits") << 12345678.0f << "12345680";
        QTest::newRow("negative") << -2.25f << "-2.25";
    }

    void hoursUseTheShortestSingleForm()
    {
        QFETCH(float, hours);
        QFETCH(QString, text);
        QCOMPARE(formatHours(hours), text);
    }

private:
    void addSong(int count, const QString &rating)
    {
        const SongRecord song { QString::number(m_songs.songCount()), {}, {}, {}, {}, rating, qint16(count) };
        QVERIFY(m_songs.addSong(m_dir, song).ok());
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
    SongCatalogue m_songs;
    ArtistCatalogue m_artists;
};

QTEST_GUILESS_MAIN(TestPoints)
#include "test_points.moc"
