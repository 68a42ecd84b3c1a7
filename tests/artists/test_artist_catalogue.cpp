#include "artists/ArtistCatalogue.h"
#include "tests/support/FreshRun.h"

#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestArtistCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_dir = QDir(m_folder->path());
        m_file = m_dir.filePath(ArtistCatalogue::FileName);
        textfile::resetBackupsForTesting();
        m_catalogue = ArtistCatalogue();
    }

    void missingAndEmptyFilesAreEmpty()
    {
        QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(m_catalogue.artistCount(), 0);
        QVERIFY(testfiles::writeBytes(m_file, {}));
        QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(m_catalogue.artistCount(), 0);
    }

    void unreadableFileLeavesTheTable()
    {
        add("阿部", "あべ");
        // A folder where the file should be cannot be read, whoever runs the test.
        const QDir unreadable(m_dir.filePath(QStringLiteral("unreadable")));
        QVERIFY(unreadable.mkpath(ArtistCatalogue::FileName));
        const textfile::Failure result = m_catalogue.loadArtistCatalogue(unreadable);
        QCOMPARE(result.fault, textfile::Fault::ReadFailed);
        QVERIFY(result.error != 0);
        QCOMPARE(result.file, ArtistCatalogue::FileName);
        QCOMPARE(names(), QStringList { "阿部" });
    }

    void crOnlyLineEndsSeparateRecords()
    {
        // "阿部","あべ" CR "佐藤","さとう" CR in code page 932.
        QVERIFY(testfiles::writeBytes(m_file,
            QByteArray::fromHex("22 88a2 9594 22 2c 22 82a0 82d7 22 0d 22 8db2 93a1 22 2c 22 82b3 82c6 82a4 22 0d")));
        QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(m_catalogue.artists(),
            QVector<ArtistRecord>({ { QStringLiteral("阿部"), QStringLiteral("あべ") },
                { QStringLiteral("佐藤"), QStringLiteral("さとう") } }));
        // A blank line between records is no artist.
        QVERIFY(testfiles::writeBytes(m_file, "\"A\",\"a\"\r\n\r\n\"B\",\"b\"\r\n"));
        QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(m_catalogue.artists(),
            QVector<ArtistRecord>(
                { { QStringLiteral("A"), QStringLiteral("a") }, { QStringLiteral("B"), QStringLiteral("b") } }));
    }

    void registrationsAreWrittenInReadingOrder()
    {
        add("加藤, 一", "かとう");
        add("阿部", "あべ");
        add("佐藤", "さとう");
        QCOMPARE(testfiles::readBytes(m_file), testfiles::testData(QStringLiteral("artists/three-artists.txt")));
        ArtistCatalogue reloaded;
        QVERIFY(reloaded.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(reloaded.artists(), m_catalogue.artists());
        QCOMPARE(reloaded.artist(2).name, QStringLiteral("加藤, 一"));
    }

    void equalReadingsSwapOnlyWhenPassedOver()
    {
        add("A", "a");
        add("C1", "c");
        add("C2", "c");
        add("B", "b");
        QCOMPARE(names(), (QStringList { "A", "B", "C2", "C1" }));

        init();
        add("A", "a");
        add("B1", "b");
        add("B2", "b");
        add("C", "c");
        QCOMPARE(names(), (QStringList { "A", "B1", "B2", "C" }));
    }

    void readingsSortByCodeUnit()
    {
        add("カ", "カトウ");
        add("か", "かとう");
        add("が", "がとう");
        add("K", "Kato");
        QCOMPARE(names(), (QStringList { "K", "か", "が", "カ" }));
    }

    void findsByExactName()
    {
        add("あべ", "あべ");
        add("Abe", "abe");
        QCOMPARE(m_catalogue.findArtistPosition("あべ").value_or(0), 2);
        QVERIFY(!m_catalogue.findArtistPosition("abe"));
        QVERIFY(!m_catalogue.findArtistPosition("アベ"));
    }

    void refusalsComeInOrderAndWriteNothing_data()
    {
        QTest::addColumn<int>("registered"); // artists in the file beforehand, "阿部" first
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<textfile::Fault>("status");
        QTest::addColumn<QString>("character");
        const int full = ArtistCatalogue::MaxArtists;
        using S = textfile::Fault;
        QTest::newRow("no name") << 1 << ""
                                 << "\"" << S::ArtistNameMissing << "";
        QTest::newRow("no reading") << 1 << "阿部"
                                    << "" << S::ArtistReadingMissing << "";
        QTest::newRow("registered") << 1 << "阿部"
                                    << "\"😀" << S::ArtistRegistered << "";
        QTest::newRow("quote in name") << 0 << "say \"x\""
                                       << "x" << S::ArtistHoldsQuote << "";
        QTest::newRow("quote in reading") << 0 << "x"
                                          << "\"" << S::ArtistHoldsQuote << "";
        QTest::newRow("quote before character") << 0 << "x😀"
                                                << "\"" << S::ArtistHoldsQuote << "";
        QTest::newRow("character") << 0 << "x"
                                   << "ａ😀" << S::Unencodable << "😀";
        QTest::newRow("name's character first") << 0 << "x\r\ny"
                                                << "😀" << S::Unencodable << "\r";
        QTest::newRow("full") << full << "x"
                              << "x" << S::ArtistsFull << "";
        QTest::newRow("quote before full") << full << "x\""
                                           << "x" << S::ArtistHoldsQuote << "";
        QTest::newRow("registered before full") << full << "阿部"
                                                << "x" << S::ArtistRegistered << "";
    }

    void refusalsComeInOrderAndWriteNothing()
    {
        QFETCH(int, registered);
        QFETCH(QString, name);
        QFETCH(QString, reading);
        QFETCH(textfile::Fault, status);
        QFETCH(QString, character);
        QByteArray bytes;
        for (int i = 0; i < registered; ++i)
            bytes += i == 0 ? QByteArray::fromHex("22 88a2 9594 22 2c 22 82a0 82d7 22 0d0a") : "\"n\",\"r\"\r\n";
        if (registered > 0) {
            QVERIFY(testfiles::writeBytes(m_file, bytes));
            QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        }

        const textfile::Failure check = m_catalogue.checkNewArtist(name, reading);
        QCOMPARE(check.fault, status);
        QCOMPARE(check.detail, character);
        QCOMPARE(m_catalogue.addArtist(m_dir, name, reading), check);
        QCOMPARE(m_catalogue.artistCount(), registered);
        if (registered > 0)
            QCOMPARE(testfiles::readBytes(m_file), bytes);
        else
            QVERIFY(!QFile::exists(m_file));
    }

    void moreThanFiveHundredAreKeptButNoneAdded()
    {
        QByteArray bytes;
        for (int i = 0; i < ArtistCatalogue::MaxArtists + 1; ++i)
            bytes += "\"n\",\"r\"\r\n";
        QVERIFY(testfiles::writeBytes(m_file, bytes));
        QVERIFY(m_catalogue.loadArtistCatalogue(m_dir).ok());
        QCOMPARE(m_catalogue.artistCount(), ArtistCatalogue::MaxArtists + 1);
        QCOMPARE(m_catalogue.addArtist(m_dir, "x", "x").fault, textfile::Fault::ArtistsFull);
        QCOMPARE(testfiles::readBytes(m_file), bytes);
    }

    void failedSaveLeavesTableEqualToFile()
    {
        add("阿部", "あべ");
        QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner));
        QCOMPARE(m_catalogue.addArtist(m_dir, "井上", "いのうえ").fault, textfile::Fault::WriteFailed);
        QCOMPARE(names(), QStringList { "阿部" });
    }

private:
    void add(const QString &name, const QString &reading) { QVERIFY(m_catalogue.addArtist(m_dir, name, reading).ok()); }

    QStringList names() const
    {
        QStringList result;
        for (const ArtistRecord &artist : m_catalogue.artists())
            result.append(artist.name);
        return result;
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
    QString m_file;
    ArtistCatalogue m_catalogue;
};

QTEST_GUILESS_MAIN(TestArtistCatalogue)
#include "test_artist_catalogue.moc"
