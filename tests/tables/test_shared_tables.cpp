#include "tables/SharedTables.h"
#include "tests/support/FreshRun.h"

#include "lists/ChoiceList.h"
#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSharedTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    /// The diary and the catalogues are read on a thread of their own while this one reads and
    /// saves other data files, as the program does while its windows are built. They come out as
    /// read here, and the run knows every file read on either thread. scripts/test-sanitizers.sh
    /// also runs this built with ThreadSanitizer, which tells any access to what the run knows of
    /// the files that is not guarded.
    void tablesReadBesideOtherFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir folder(dir.path());
        const QDir basic(QStringLiteral(CROONER_TEST_DATA "/app/basic"));
        for (const QString &name : basic.entryList(QDir::Files))
            QVERIFY(QFile::copy(basic.filePath(name), folder.filePath(name)));
        // Written by another editor: the run must name them when it is asked which files are so.
        // Their bytes also read cleanly as code page 932: the detector guesses on both threads.
        QVERIFY(testfiles::putFile(
            folder, SongCatalogue::FileName, QStringLiteral("\"カラオケ館\",\"佐藤\",\"J-POP\",3\r\n").toUtf8()));
        QVERIFY(testfiles::putFile(folder, choicelist::PlaceFile, QStringLiteral("カラオケ館\r\n").toUtf8()));
        textfile::resetBackupsForTesting();

        TablesReading reading(folder);
        for (int round = 0; round < 20; ++round) {
            PersonalData personal;
            QVERIFY(readPersonalData(folder, personal).ok());
            QVERIFY(savePersonalData(folder, personal, personal.userName, QString::number(personal.targetPoints)).ok());
            QCOMPARE(choicelist::read(folder, choicelist::PlaceFile), QStringList { QStringLiteral("カラオケ館") });
        }
        ReadTables read = reading.finish();
        QVERIFY(read.results.diary.ok() && read.results.songs.ok() && read.results.artists.ok());
        SharedTables tables(std::move(read));
        QSignalSpy changed(&tables, &SharedTables::changed);

        DiaryBook diary;
        SongCatalogue songs;
        ArtistCatalogue artists;
        QVERIFY(diary.load(folder).ok() && songs.loadSongCatalogue(folder).ok()
            && artists.loadArtistCatalogue(folder).ok());
        QVERIFY(diary.entryCount() > 0);
        QCOMPARE(tables.diary().entries(), diary.entries());
        QCOMPARE(tables.songs().songs().size(), 1);
        QCOMPARE(tables.songs().songs(), songs.songs());
        QCOMPARE(tables.artists().artists(), artists.artists());
        QCOMPARE(textfile::foreignEncodedFiles(),
            QList<textfile::ForeignFile>({ { choicelist::PlaceFile, QStringLiteral("UTF-8") },
                { SongCatalogue::FileName, QStringLiteral("UTF-8") } }));
        // A deletion is told once, as a change of the diary alone: it leaves the sing counts.
        QVERIFY(tables.removeOuting(1).ok());
        QCOMPARE(changed, QList<QVariantList>({ { QVariant::fromValue(SharedTables::Tables(SharedTables::Diary)) } }));
    }
};

QTEST_GUILESS_MAIN(TestSharedTables)
#include "test_shared_tables.moc"
