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

    /// Undo puts back every file a registration or deletion wrote, byte for byte, the first old
    /// version still kept as ".bak"; redo the bytes it wrote. Both are refused while a file of the
    /// step holds a later change: another program's, or this program's own to the same file.
    void undoAndRedoPutTheFilesBack_data()
    {
        QTest::addColumn<int>("target"); // -1: the first outing removed; a new one sings a song
        QTest::addColumn<QString>("later");
        QTest::addColumn<textfile::Fault>("refusal");
        QTest::newRow("new outing") << 0 << "" << textfile::Fault::None;
        QTest::newRow("changed outing") << 2 << "" << textfile::Fault::None;
        QTest::newRow("deletion") << -1 << "" << textfile::Fault::None;
        QTest::newRow("deletion, song added") << -1 << "song" << textfile::Fault::None;
        QTest::newRow("new outing, song added") << 0 << "song" << textfile::Fault::ChangedSinceStep;
        QTest::newRow("deletion, other program") << -1 << "other" << textfile::Fault::ChangedOnDisk;
    }

    void undoAndRedoPutTheFilesBack()
    {
        QFETCH(int, target);
        QFETCH(QString, later);
        QFETCH(textfile::Fault, refusal);
        const int picked = target == 0 ? 1 : -1;
        QTemporaryDir dir;
        const QDir folder(dir.path());
        QVERIFY(testfiles::copyTestData(QStringLiteral("app/basic/カラオケ.TXT"), dir.filePath(DiaryBook::FileName)));
        QVERIFY(testfiles::copyTestData(QStringLiteral("app/basic/曲目.txt"), dir.filePath(SongCatalogue::FileName)));
        textfile::resetBackupsForTesting();
        SharedTables tables(TablesReading(folder).finish());
        const auto files = [&folder] {
            return QList { testfiles::fileBytes(folder, DiaryBook::FileName),
                testfiles::fileBytes(folder, SongCatalogue::FileName) };
        };
        const QList<QByteArray> before = files();
        const DiaryEntry entry { QStringLiteral("2026年11月20日"), QStringLiteral("2.0"), {}, {}, {}, {} };
        QVERIFY(target < 0 ? tables.removeOuting(1).ok() : tables.registerOuting(target, entry, picked).ok());
        QCOMPARE(tables.undoSteps().last().date, target < 0 ? QStringLiteral("2024年01月05日") : entry.date);
        const QList<QByteArray> after = files();
        QCOMPARE(after.at(1) != before.at(1), picked >= 0);
        if (later == u"song")
            QVERIFY(tables.addSong({ QStringLiteral("新曲"), QStringLiteral("しんきょく"), {}, {}, {}, {}, 0 }).ok());
        if (later == u"other")
            QVERIFY(testfiles::putFile(folder, DiaryBook::FileName, after.at(0) + "メモ\r\n"));
        const QList<QByteArray> meddled = files();
        QCOMPARE(tables.undo().fault, refusal);
        if (refusal != textfile::Fault::None) {
            QCOMPARE(files(), meddled);
            QVERIFY(tables.undoSteps().size() == 1 && tables.redoSteps().isEmpty());
            return;
        }
        QCOMPARE(files(), QList({ before.at(0), picked >= 0 ? before.at(1) : meddled.at(1) }));
        QCOMPARE(testfiles::fileBytes(folder, DiaryBook::FileName + QStringLiteral(".bak")), before.at(0));
        QCOMPARE(tables.diary().entries(), DiaryBook::parse(before.at(0)).entries());
        QVERIFY(tables.undoSteps().isEmpty() && tables.redoSteps().size() == 1 && tables.redo().ok());
        QCOMPARE(files(), QList({ after.at(0), meddled.at(1) }));
        // A new change ends what could be redone.
        QVERIFY(tables.undo().ok() && tables.removeOuting(1).ok() && tables.redoSteps().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSharedTables)
#include "test_shared_tables.moc"
