#include "catalogue/SongCatalogue.h"
#include "tests/support/FreshRun.h"

#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testfiles::readBytes;

bool copyFixture(const QString &name, const QString &to)
{
    return testfiles::copyTestData(QStringLiteral("catalogue/") + name, to)
        && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

QStringList titles(const SongCatalogue &catalogue)
{
    QStringList result;
    for (const SongRecord &song : catalogue.songs())
        result.append(song.title);
    return result;
}

SongRecord song(const QString &title, const QString &reading)
{
    return { title, reading, {}, {}, {}, {}, 0 };
}

} // namespace

class TestSongCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_dir = QDir(m_folder->path());
        m_file = m_dir.filePath(SongCatalogue::FileName);
        textfile::resetBackupsForTesting();
    }

    void missingFileIsEmptyAndFirstSaveCreatesIt()
    {
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        QCOMPARE(catalogue.songCount(), 0);
        // A registration with no song picked rewrites the catalogue all the same.
        QVERIFY(catalogue.countSongSung(m_dir, -1).ok());
        QVERIFY(QFile::exists(m_file));
        QCOMPARE(readBytes(m_file), QByteArray());
    }

    void addedSongsAreWrittenSortedByteForByte()
    {
        SongCatalogue catalogue;
        const SongRecord star { QStringLiteral("星空, 夜"), QStringLiteral("ほしぞら"), QStringLiteral("歌手Ａ"),
            QStringLiteral("ポップス"), QStringLiteral("◎"), QStringLiteral("○"), -3 };
        const SongRecord sea { QStringLiteral("海"), QStringLiteral("うみ"), {}, QStringLiteral("演歌"),
            QStringLiteral("－"), QStringLiteral("×"), 12 };
        const SongRecord rain { QStringLiteral("雨"), QStringLiteral("あめ"), QStringLiteral("歌手Ｂ"), {},
            QStringLiteral("○"), QStringLiteral("◎"), 0 };
        QVERIFY(catalogue.addSong(m_dir, star).ok());
        QVERIFY(catalogue.addSong(m_dir, sea).ok());
        QVERIFY(catalogue.addSong(m_dir, rain).ok());
        QCOMPARE(readBytes(m_file), testfiles::testData(QStringLiteral("catalogue/three-songs.txt")));
        QCOMPARE(catalogue.songs(), (QVector<SongRecord> { rain, sea, star }));
    }

    void equalReadingsSwapWhenASmallerOneArrives()
    {
        QVERIFY(copyFixture(QStringLiteral("equal-readings.txt"), m_file));
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        QVERIFY(catalogue.addSong(m_dir, song(QStringLiteral("あ"), QStringLiteral("あ"))).ok());
        QCOMPARE(titles(catalogue), (QStringList { "あ", "い二", "い一" }));
        // A greater reading passes no one, so the equal ones keep their order.
        QVERIFY(catalogue.addSong(m_dir, song(QStringLiteral("う"), QStringLiteral("う"))).ok());
        QCOMPARE(titles(catalogue), (QStringList { "あ", "い二", "い一", "う" }));
    }

    void countingRewritesTheWholeFile()
    {
        QVERIFY(copyFixture(QStringLiteral("counts.txt"), m_file));
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        QCOMPARE(titles(catalogue), (QStringList { "甲", "乙", "丙" }));

        // Nothing chosen, or a position past the table: no count changes, the file is rewritten.
        QVERIFY(catalogue.countSongSung(m_dir, -1).ok());
        QCOMPARE(readBytes(m_file), testfiles::testData(QStringLiteral("catalogue/counts-rewritten.txt")));
        QVERIFY(catalogue.countSongSung(m_dir, 3).ok());
        QCOMPARE(readBytes(m_file), testfiles::testData(QStringLiteral("catalogue/counts-rewritten.txt")));

        QVERIFY(catalogue.countSongSung(m_dir, 0).ok());
        QVERIFY(catalogue.countSongSung(m_dir, 1).ok());
        QCOMPARE(readBytes(m_file), testfiles::testData(QStringLiteral("catalogue/counts-after.txt")));
        QCOMPARE(catalogue.song(1).singCount, qint16(6));
        QCOMPARE(catalogue.song(2).singCount, qint16(32767));
    }

    void looseLinesAreReadAsFarAsTheyGo()
    {
        const QVector<SongRecord> songs = SongCatalogue::parse(QByteArray(
            "  \"a,b\" , plain ,\"\",,\"x\"junk,y,-3\r\n\r\n\"only\"\n\"cr\"\r\"t\",\"r\",\"\",\"\",\"\",\"\",12.5"));
        QCOMPARE(songs.size(), 4);
        QCOMPARE(songs[0], (SongRecord { "a,b", "plain ", "", "", "x", "y", -3 }));
        QCOMPARE(songs[1], song(QStringLiteral("only"), {}));
        QCOMPARE(songs[2], song(QStringLiteral("cr"), {}));
        QCOMPARE(songs[3].singCount, qint16(12));
    }

    void moreThanAThousandAreKeptButNoneAdded()
    {
        QByteArray bytes;
        for (int i = 0; i < SongCatalogue::MaxSongs + 1; ++i)
            bytes += "\"t\",\"r\",\"\",\"\",\"\",\"\",0\r\n";
        QVERIFY(testfiles::writeBytes(m_file, bytes));
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        QCOMPARE(catalogue.songCount(), SongCatalogue::MaxSongs + 1);
        QCOMPARE(catalogue.addSong(m_dir, song("n", "n")).fault, textfile::Fault::SongsFull);
        QCOMPARE(readBytes(m_file), bytes);
    }

    void refusalsComeInOrderAndWriteNothing_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<SongRecord>("record");
        QTest::addColumn<QString>("character");
        QTest::addColumn<textfile::Fault>("status");
        using S = textfile::Fault;
        QTest::newRow("quote in title") << false << song("say \"hi\"", "s") << "" << S::SongHoldsQuote;
        QTest::newRow("quote in rating") << false << SongRecord { "t", "r", "", "", "", "\"", 0 } << ""
                                         << S::SongHoldsQuote;
        QTest::newRow("quote after a character")
            << false << SongRecord { "😀", "r", "", "", "", "\"", 0 } << "" << S::SongHoldsQuote;
        QTest::newRow("emoji in genre") << false << SongRecord { "t", "r", "", "ロック😀", "", "", 0 } << "😀"
                                        << S::Unencodable;
        QTest::newRow("line break in reading") << false << song("t", "a\nb") << "\n" << S::Unencodable;
        QTest::newRow("first character in field order")
            << false << SongRecord { "t", "😀", "\r", "", "", "", 0 } << "😀" << S::Unencodable;
        QTest::newRow("full") << true << song("n", "n") << "" << S::SongsFull;
        QTest::newRow("character before full") << true << song("n", "n😀") << "😀" << S::Unencodable;
    }

    void refusalsComeInOrderAndWriteNothing()
    {
        QFETCH(bool, full);
        QFETCH(SongRecord, record);
        QFETCH(QString, character);
        QFETCH(textfile::Fault, status);
        SongCatalogue catalogue;
        QByteArray bytes;
        if (full) {
            for (int i = 0; i < SongCatalogue::MaxSongs; ++i)
                bytes += "\"t\",\"r\",\"\",\"\",\"\",\"\",0\r\n";
            QVERIFY(testfiles::writeBytes(m_file, bytes));
            QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        }

        const textfile::Failure check = catalogue.checkNewSong(record);
        QCOMPARE(check.fault, status);
        QCOMPARE(check.detail, character);
        QCOMPARE(catalogue.addSong(m_dir, record), check);
        QCOMPARE(catalogue.songCount(), full ? SongCatalogue::MaxSongs : 0);
        if (full)
            QCOMPARE(readBytes(m_file), bytes);
        else
            QVERIFY(!QFile::exists(m_file));
    }

    void unreadableFileLeavesTheTable()
    {
        SongCatalogue catalogue;
        QVERIFY(catalogue.addSong(m_dir, song("あ", "あ")).ok());
        // A folder where the file should be cannot be read, whoever runs the test.
        const QDir unreadable(m_dir.filePath(QStringLiteral("unreadable")));
        QVERIFY(unreadable.mkpath(SongCatalogue::FileName));
        const textfile::Failure result = catalogue.loadSongCatalogue(unreadable);
        QCOMPARE(result.fault, textfile::Fault::ReadFailed);
        QVERIFY(result.error != 0);
        QCOMPARE(result.file, SongCatalogue::FileName);
        QCOMPARE(titles(catalogue), QStringList { "あ" });
    }

    void failedSaveLeavesTableEqualToFile()
    {
        QVERIFY(copyFixture(QStringLiteral("equal-readings.txt"), m_file));
        QFile::setPermissions(m_file, QFile::ReadOwner);
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        QCOMPARE(catalogue.addSong(m_dir, song("あ", "あ")).fault, textfile::Fault::WriteFailed);
        QCOMPARE(titles(catalogue), (QStringList { "い一", "い二" }));
        QCOMPARE(catalogue.countSongSung(m_dir, 0).fault, textfile::Fault::WriteFailed);
        QCOMPARE(catalogue.song(1).singCount, qint16(0));
    }

    void tableEqualsFileAfterSave_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("addSong"); // else the first song is counted
        const QByteArray clean = testfiles::testData(QStringLiteral("catalogue/counts.txt"));
        QTest::newRow("count, as written") << clean << false;
        // Written in quotes, the quote inside ends the title early.
        QTest::newRow("count, quote in an unquoted field")
            << QByteArray("ab\"c,\"r\",\"\",\"\",\"\",\"\",1\r\n") << false;
        // Read as UTF-8, the look-alike U+301C is written as the code page 932 wave dash, U+FF5E.
        QTest::newRow("count, look-alike in a UTF-8 file")
            << QByteArray("\"\xE5\xA4\x9C\xE3\x80\x9C\",\"r\",\"\",\"\",\"\",\"\",2\n") << false;
        QTest::newRow("typed look-alike") << clean << true;
    }

    void tableEqualsFileAfterSave()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, addSong);
        QVERIFY(testfiles::writeBytes(m_file, file));
        SongCatalogue catalogue;
        QVERIFY(catalogue.loadSongCatalogue(m_dir).ok());
        const textfile::Failure result = addSong
            ? catalogue.addSong(m_dir, song(QStringLiteral("夜") + QChar(0x301C), QStringLiteral("よる")))
            : catalogue.countSongSung(m_dir, 0);
        QVERIFY(result.ok());
        QCOMPARE(catalogue.songs(), SongCatalogue::parse(readBytes(m_file)));
        QVERIFY(catalogue.countSongSung(m_dir, 0).ok());
        QCOMPARE(catalogue.songs(), SongCatalogue::parse(readBytes(m_file)));
    }

    void findsLowestSlotWithExactTitle()
    {
        SongCatalogue catalogue;
        QVERIFY(catalogue.addSong(m_dir, song("Ａ", "1")).ok());
        QVERIFY(catalogue.addSong(m_dir, song("a", "2")).ok());
        QVERIFY(catalogue.addSong(m_dir, song("a", "3")).ok());
        QCOMPARE(catalogue.findSongByTitle("a").value_or(0), 2);
        QVERIFY(!catalogue.findSongByTitle("A"));
        QVERIFY(!catalogue.findSongByTitle("a "));
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestSongCatalogue)
#include "test_song_catalogue.moc"
