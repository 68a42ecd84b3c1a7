// Exports and backups into a folder that cannot take them are refused with the reason the user
// reads, and leave every file as it was: no half file, no hidden file, old exports untouched. The
// read-only and the full disk are real tmpfs mounts, which root alone can make.

#include "exchange/BackupArchive.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "exchange/Zip.h"
#include "lists/ChoiceList.h"
#include "modules/Modules.h"
#include "tables/SharedTables.h"
#include "tests/support/CopiedTest.h"
#include "tests/support/TestFiles.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <QDirIterator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString ZipName = QStringLiteral("バックアップ.zip");

/// Every file and folder under path with the bytes of the files.
QMap<QString, QByteArray> tree(const QString &path)
{
    QMap<QString, QByteArray> files;
    QDirIterator entries(
        path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        QFile file(entry.filePath());
        files.insert(
            entry.filePath(), entry.isDir() || !file.open(QIODevice::ReadOnly) ? QByteArray("/") : file.readAll());
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

/// An outing in one line: date|hours|place|members|title/artist;...
QString shown(const DiaryEntry &outing)
{
    QStringList songs;
    for (qsizetype i = 0; i < outing.songTitles.size(); ++i)
        songs.append(outing.songTitles.at(i) + u'/' + outing.songArtists.at(i));
    return QStringList { outing.date, outing.duration, outing.place, outing.members.join(u'・'), songs.join(u';') }
        .join(u'|');
}

QByteArray cp932Bytes(const QString &text)
{
    QByteArray bytes;
    cp932::encode(text, &bytes);
    return bytes;
}

/// A CSV text of a header and rows made by row(i) for i from 1 to count.
QByteArray manyRows(const QString &header, int count, const std::function<QString(int)> &row)
{
    QString text = header + u'\n';
    for (int i = 1; i <= count; ++i)
        text += row(i) + u'\n';
    return text.toUtf8();
}

} // namespace

class TestExportRefusals : public QObject
{
    Q_OBJECT

private slots:
    void refusedWithNothingWritten_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("folderRefused"); ///< refused before any file, naming the folder

        QTest::newRow("missing folder") << ENOTDIR << true;
        QTest::newRow("folder under a regular file") << ENOTDIR << true;
        QTest::newRow("write bit off") << EACCES << true;
        QTest::newRow("read-only disk") << EROFS << true;
        QTest::newRow("full disk") << ENOSPC << false;
    }

    void refusedWithNothingWritten()
    {
        QFETCH(int, error);
        QFETCH(bool, folderRefused);
        const QString kind = QString::fromUtf8(QTest::currentDataTag());
        QTemporaryDir root;
        QTemporaryDir data;
        QVERIFY(root.isValid() && data.isValid());
        writeFile(data.filePath(DiaryBook::FileName), QByteArrayLiteral("data"));
        QString target = root.filePath(QStringLiteral("書き出し"));
        const QByteArray mountPoint = QFile::encodeName(target);
        bool mounted = false;
        const auto cleanUp = qScopeGuard([&] {
            if (mounted && ::umount2(mountPoint.constData(), 0) != 0)
                ::umount2(mountPoint.constData(), MNT_DETACH);
            ::chmod(mountPoint.constData(), 0755);
        });

        const auto mountTmpfs = [&]() -> QString {
            if (::geteuid() != 0)
                return QStringLiteral("mounting a tmpfs needs root");
            if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
                return QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
            mounted = true;
            return {};
        };
        if (kind == QLatin1String("folder under a regular file")) {
            writeFile(target, QByteArrayLiteral("plain"));
            target += QStringLiteral("/中");
        } else if (kind != QLatin1String("missing folder")) {
            QVERIFY(QDir().mkdir(target));
            if (kind != QLatin1String("write bit off")) {
                if (const QString skipped = mountTmpfs(); !skipped.isEmpty())
                    QSKIP(qPrintable(skipped));
            }
            // An earlier export, which a refused one must leave alone.
            writeFile(target + QStringLiteral("/outings.csv"), QByteArrayLiteral("old"));
            writeFile(target + u'/' + ZipName, QByteArrayLiteral("old"));
            if (kind == QLatin1String("write bit off"))
                QCOMPARE(::chmod(mountPoint.constData(), 0555), 0);
            if (kind == QLatin1String("read-only disk"))
                QCOMPARE(::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
            if (kind == QLatin1String("full disk"))
                QVERIFY(testfiles::fillDisk(target + QStringLiteral("/filler")));
        }
        ReadTables read = TablesReading(QDir(data.path())).finish();
        QVERIFY(read.results.diary.ok());
        const SharedTables tables(std::move(read));
        const QMap<QString, QByteArray> before = tree(root.path());

        QList<CsvFileWritten> written;
        QStringList stored;
        const textfile::Failure exported = writeCsvFiles(tables, QDir(target), &written);
        const textfile::Failure backup = writeBackupArchive(QDir(data.path()), target + u'/' + ZipName, &stored);

        QCOMPARE(exported,
            textfile::failure(
                textfile::Fault::ExportFailed, folderRefused ? target : QStringLiteral("outings.csv"), error));
        // A full disk stops the zip library's own write.
        QCOMPARE(std::pair(backup.file, backup.error), std::pair(folderRefused ? target : ZipName, error));
        QVERIFY(written.isEmpty());
        QVERIFY(stored.isEmpty());
        QCOMPARE(tree(root.path()), before);
    }

    /// A backup saved into the data folder under a data file's name would replace the diary, or be
    /// read as one of its files.
    void backupNeverTakesADataFileName()
    {
        QTemporaryDir data;
        QVERIFY(data.isValid());
        writeFile(data.filePath(DiaryBook::FileName), QByteArrayLiteral("data"));
        const QMap<QString, QByteArray> before = tree(data.path());
        for (const QString &name : { QStringLiteral("カラオケ.txt"), QStringLiteral("ジャンル.TXT") }) {
            QCOMPARE(writeBackupArchive(QDir(data.path()), data.filePath(name)),
                textfile::failure(textfile::Fault::BackupNameOfDataFile, name));
        }
        QCOMPARE(tree(data.path()), before);
    }

    /// Every entry of a zip is read and checked before any file is touched; a good one puts every
    /// file it holds back together, and the tables show them at once.
    void restoreFromZipChecksEveryEntryFirst_data()
    {
        QTest::addColumn<QString>("strayName"); ///< an entry besides the data files
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<textfile::Failure>("result");
        const textfile::Failure foreign = textfile::failure(textfile::Fault::RestoreZipForeign, ZipName);
        QTest::newRow("good") << QString() << false << textfile::done();
        for (const QString &name : { QStringLiteral("../カラオケ.TXT"), QStringLiteral("/tmp/曲目.txt"),
                 QStringLiteral("memo.txt"), QStringLiteral("カラオケ.txt") }) {
            textfile::Failure refused = foreign;
            refused.detail = name;
            QTest::newRow(qPrintable(name)) << name << false << refused;
        }
        QTest::newRow("damaged entry") << QString() << true
                                       << textfile::failure(textfile::Fault::RestoreZipUnreadable, ZipName);
    }

    void restoreFromZipChecksEveryEntryFirst()
    {
        QFETCH(QString, strayName);
        QFETCH(bool, damaged);
        QFETCH(textfile::Failure, result);
        QTemporaryDir data, elsewhere;
        const QByteArray then = testfiles::testData(QStringLiteral("diary/book.txt"));
        writeFile(data.filePath(DiaryBook::FileName), testfiles::testData(QStringLiteral("diary/book-changed.txt")));
        writeFile(data.filePath(SongCatalogue::FileName), "\"now\",\"\",\"\",\"\",\"\",\"\",1\r\n");
        SharedTables tables(TablesReading(QDir(data.path())).finish());
        const QMap<QString, QByteArray> before = tree(data.path());

        QList<zip::Entry> entries { { DiaryBook::FileName, then, 0644, {} },
            { SongCatalogue::FileName, "\"then\",\"\",\"\",\"\",\"\",\"\",2\r\n", 0644, {} } };
        if (!strayName.isEmpty())
            entries.append({ strayName, "stray\r\n", 0644, {} });
        const auto functions
            = reinterpret_cast<zip::GetFunctions>(modules::function(zip::Module, zip::FunctionsName, nullptr))();
        const QString zipPath = elsewhere.filePath(ZipName);
        const int fd = ::open(QFile::encodeName(zipPath).constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(functions->write(fd, entries).ok());
        ::close(fd);
        if (damaged) {
            // The first byte of the first entry's compressed data, after its header, name and extra field.
            QByteArray zip = testfiles::readBytes(zipPath);
            const int start = 30 + qFromLittleEndian<quint16>(zip.constData() + 26)
                + qFromLittleEndian<quint16>(zip.constData() + 28);
            zip[start] = char(zip.at(start) ^ 0x5a);
            writeFile(zipPath, zip);
        }

        QList<RestoredFile> files;
        textfile::Failure restored = readBackupArchive(zipPath, &files);
        const QSignalSpy changed(&tables, &SharedTables::changed);
        if (restored.ok())
            restored = tables.restoreFiles(files);
        QCOMPARE(restored.fault, result.fault);
        QCOMPARE(restored.file, result.file);
        // The library's own words for a damaged entry are its to choose.
        if (result.fault != textfile::Fault::RestoreZipUnreadable)
            QCOMPARE(restored, result);
        if (!result.ok()) {
            QCOMPARE(tree(data.path()), before);
            return;
        }
        QCOMPARE(testfiles::readBytes(data.filePath(DiaryBook::FileName)), then);
        QCOMPARE(tables.songs().song(1).title, QStringLiteral("then"));
        QCOMPARE(tables.diary().entries(), DiaryBook::parse(then).entries());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().value<SharedTables::Tables>(),
            SharedTables::Diary | SharedTables::Songs | SharedTables::Restored);
    }

    /// The outings a CSV file gives, beside a diary holding one outing on 2026年11月01日 at 駅前.
    void importReadsEveryForm_data()
    {
        QTest::addColumn<QByteArray>("outings");
        QTest::addColumn<QByteArray>("songs"); ///< songs.csv; null when absent
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<int>("skipped"); ///< outings the diary holds already
        const QString header = QStringLiteral("日記番号,日付,時間,場所,メンバー,№,曲名,アーティスト\r\n");
        const QString first = QStringLiteral("2026年12月05日|2.5|館, 新宿|佐藤・鈴木|Lemon/米津;夜に駆ける/YOASOBI");
        QTest::newRow("export, UTF-8 BOM")
            << ("\xEF\xBB\xBF" + header
                   + QStringLiteral("1,2026年12月05日,2.5,\"館, 新宿\",佐藤、鈴木,1,Lemon,米津\r\n"
                                    "1,2026年12月05日,,\"館, 新宿\",佐藤、鈴木,2,夜に駆ける,YOASOBI\r\n"
                                    "2,2026年12月05日,1,駅前,,,,\r\n"))
                   .toUtf8()
            << QByteArray() << QStringList { first, QStringLiteral("2026年12月05日|1|駅前||") } << QStringList() << 0;
        QTest::newRow("earlier export, hours on every row, and a skipped outing") << QStringLiteral(
            "日付,時間,場所,メンバー,№,曲名,アーティスト\n2026年12月05日,2.5,\"館, 新宿\",佐藤、鈴木,1,Lemon,米津\n"
            "2026年12月05日,2.5,\"館, 新宿\",佐藤、鈴木,2,夜に駆ける,YOASOBI\n2026/11/1,2,駅前,,1,Lemon,\n")
                                                                                         .toUtf8()
                                                                                  << QByteArray()
                                                                                  << QStringList { first }
                                                                                  << QStringList() << 1;
        QTest::newRow("code page 932, tabs, other headers, a row per outing")
            << cp932Bytes(QStringLiteral("歌手\t曲名\t日時\t時間\r\nYOASOBI\t\"夜に\"\"駆ける\"\"\"\t2026-11-"
                                         "20\t3\r\n\t\t２０２６年１月５日\t1\r\n"))
            << QByteArray()
            << QStringList { QStringLiteral("2026年11月20日|3|||夜に\"駆ける\"/YOASOBI"),
                   QStringLiteral("2026年01月05日|1|||") }
            << QStringList() << 0;
        QTest::newRow("row errors") << QStringLiteral("日付,時間,曲名\n2026/12/1,abc,x\n2026/13/1,1,x\n2026/12/"
                                                      "2,25,x\n2026/12/3,1,😀\n2026/12/5,1,\"a\nb\"\n2026/12/4,1,ok\n")
                                           .toUtf8()
                                    << QByteArray("曲名,唄った回数\nA,many\n\"B\"\"\",1\n")
                                    << QStringList { QStringLiteral("2026年12月04日|1|||ok/") }
                                    << QStringList { QStringLiteral("2行目: 時間が数字ではありません"),
                                           QStringLiteral("3行目: 日付が読めません"),
                                           QStringLiteral("4行目: 時間は0から24までです"),
                                           QStringLiteral("5行目: 「😀」は保存できない文字です"),
                                           QStringLiteral("6行目: 欄の中の改行は保存できません"),
                                           QStringLiteral("songs.csv 2行目: 唄った回数が数字ではありません"),
                                           QStringLiteral("songs.csv 3行目: 引用符（\"）は使えません") }
                                    << 0;
        QTest::newRow("no date column") << QByteArray("a,b\n1,2\n") << QByteArray() << QStringList()
                                        << QStringList { QStringLiteral("1行目: 日付の列がありません") } << 0;
        QTest::newRow("300 outings") << manyRows(
            QStringLiteral("日付"), 300, [](int i) { return QDate(2001, 1, 1).addDays(i).toString(Qt::ISODate); })
                                     << QByteArray() << QStringList()
                                     << QStringList { QStringLiteral("登録できるのは３００件までです") } << 0;
        QTest::newRow("1000 songs") << manyRows(QStringLiteral("日記番号,日付,曲名"), 1001,
            [](int i) { return QStringLiteral("1,2001/1/1,曲") + QString::number(i); })
                                    << QByteArray() << QStringList()
                                    << QStringList { QStringLiteral("登録できるのは１０００曲までです") } << 0;
    }

    void importReadsEveryForm()
    {
        QFETCH(QByteArray, outings);
        QFETCH(QByteArray, songs);
        QFETCH(QStringList, added);
        QFETCH(QStringList, errors);
        QFETCH(int, skipped);
        QTemporaryDir data;
        const DiaryEntry held { QStringLiteral("2026年11月01日"), QStringLiteral("2"), QStringLiteral("駅前"), {},
            { QStringLiteral("Lemon") }, { QString() } };
        writeFile(data.filePath(DiaryBook::FileName), cp932Bytes(textfile::joinLines(DiaryBook::entryLines(held))));
        const SharedTables tables(TablesReading(QDir(data.path())).finish());

        const ImportPlan plan = planCsvImport(tables, outings, songs.isNull() ? std::nullopt : std::optional(songs));
        QStringList outingsShown;
        for (const DiaryEntry &outing : plan.outings)
            outingsShown.append(shown(outing));
        QCOMPARE(plan.errors, errors);
        if (errors.size() == 1 && errors.first().startsWith(QStringLiteral("登録")))
            return;
        QCOMPARE(outingsShown, added);
        QCOMPARE(plan.skipped.size(), skipped);
    }

    /// Exported, then imported into an empty folder, the diary and the catalogues come back byte for byte.
    void exportThenImportGivesTheFilesBack()
    {
        QTemporaryDir data, csv, empty;
        const QStringList diary = DiaryBook::entryLines({ QStringLiteral("2026年12月05日"), QStringLiteral("　3"),
                                      QStringLiteral("館, 新宿"), { QStringLiteral(" 佐藤"), QStringLiteral("鈴木 ") },
                                      { QStringLiteral("He said \"Hi\""), QStringLiteral("夜に駆ける") },
                                      { QStringLiteral("E, W & F"), QString() } })
            + DiaryBook::entryLines({ QStringLiteral("2026年12月05日"), QStringLiteral("1"), {}, {}, {}, {} });
        const QMap<QString, QByteArray> files { { DiaryBook::FileName, cp932Bytes(textfile::joinLines(diary)) },
            { SongCatalogue::FileName,
                cp932Bytes(textfile::joinLines({ SongCatalogue::recordLine(
                    { QStringLiteral("夜に駆ける"), QStringLiteral("よる"), QStringLiteral("YOASOBI"),
                        QStringLiteral("J-POP"), QStringLiteral("◎"), QStringLiteral("×"), 12 }) })) },
            { ArtistCatalogue::FileName,
                cp932Bytes(textfile::joinLines(
                    { ArtistCatalogue::recordLine({ QStringLiteral("E, W & F"), QStringLiteral(" いー") }) })) } };
        for (auto file = files.cbegin(); file != files.cend(); ++file)
            writeFile(data.filePath(file.key()), file.value());
        QVERIFY(writeCsvFiles(SharedTables(TablesReading(QDir(data.path())).finish()), QDir(csv.path())).ok());

        SharedTables tables(TablesReading(QDir(empty.path())).finish());
        const ImportPlan plan = planCsvImportFile(tables, csv.filePath(QStringLiteral("outings.csv")));
        QVERIFY2(plan.canImport(), qPrintable(plan.errors.join(u'\n')));
        QCOMPARE(tables.importOutings(plan.outings, plan.songs, plan.artists, plan.newPlaces, plan.newMembers),
            textfile::done());
        for (auto file = files.cbegin(); file != files.cend(); ++file)
            QCOMPARE(testfiles::readBytes(empty.filePath(file.key())), file.value());
        QCOMPARE(choicelist::read(QDir(empty.path()), choicelist::MemberFile),
            (QStringList { QStringLiteral(" 佐藤"), QStringLiteral("鈴木 ") }));
    }

    void backupRefusedWithoutTheZipModule()
    {
        if (!copiedtest::isCopyWithoutModules()) {
            QString output;
            QVERIFY2(copiedtest::runWithoutModules(QTest::currentTestFunction(), &output) == 0, qPrintable(output));
            return;
        }
        QTemporaryDir data;
        QVERIFY(data.isValid());
        writeFile(data.filePath(DiaryBook::FileName), QByteArrayLiteral("data"));
        const QMap<QString, QByteArray> before = tree(data.path());
        const textfile::Failure backup = writeBackupArchive(QDir(data.path()), data.filePath(ZipName));
        QCOMPARE(backup.fault, textfile::Fault::ZipModuleMissing);
        QVERIFY2(backup.detail.contains(QStringLiteral("libcrooners-zip.so")), qPrintable(backup.detail));
        QCOMPARE(backup.file, ZipName);
        QCOMPARE(tree(data.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestExportRefusals)
#include "test_export_refusals.moc"
