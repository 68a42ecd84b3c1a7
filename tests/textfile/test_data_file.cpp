#include "tests/support/FreshRun.h"
#include "textfile/DataFile.h"

#include "tests/support/TestFiles.h"
#include "textfile/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::readBytes;

Q_DECLARE_METATYPE(textfile::Fault)

class TestDataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder.reset(new QTemporaryDir);
        m_dir = QDir(m_folder->path());
        textfile::resetBackupsForTesting();
    }

    void namesMatchWithAsciiLettersFolded()
    {
        QVERIFY(testfiles::writeBytes(m_dir.filePath(QStringLiteral("カラオケ.txt")), "old\r\n"));
        QCOMPARE(textfile::resolveDataFile(m_dir, QStringLiteral("カラオケ.TXT")),
            m_dir.filePath(QStringLiteral("カラオケ.txt")));
        // Only ASCII letters fold: half-width katakana is not full-width katakana.
        QCOMPARE(
            textfile::resolveDataFile(m_dir, QStringLiteral("ｶﾗｵｹ.TXT")), m_dir.filePath(QStringLiteral("ｶﾗｵｹ.TXT")));
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("カラオケ.TXT"), { "new" }).ok());
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("カラオケ.txt"))), QByteArray("new\r\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("カラオケ.TXT"))));
    }

    void missingFileReadsAsAbsent()
    {
        const textfile::ReadResult result = textfile::readDataFile(m_dir, QStringLiteral("曲目.txt"));
        QVERIFY(!result.exists);
        QVERIFY(result.ok());
    }

    void firstRewriteOfARunKeepsDatedAndBakCopies()
    {
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "original\r\n"));
        // Copies of earlier runs, the oldest two beyond the 20 kept, and files that are not copies.
        QVERIFY(m_dir.mkdir(QStringLiteral("backup")));
        QDir backup(m_dir.filePath(QStringLiteral("backup")));
        QStringList earlier;
        for (int day = 1; day <= 20; ++day)
            earlier << QStringLiteral("曲目.txt.202001%1-120000").arg(day, 2, 10, QLatin1Char('0'));
        earlier << QStringLiteral("曲目.txt.20200120-120000_2");
        for (const QString &name :
            earlier + QStringList { QStringLiteral("場所.txt.20190101-000000"), QStringLiteral("メモ.txt") })
            QVERIFY(testfiles::putFile(backup, name, "earlier\r\n"));

        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "second" }).ok());
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "third" }).ok());
        QCOMPARE(readBytes(path), QByteArray("third\r\n"));
        QCOMPARE(readBytes(path + QStringLiteral(".bak")), QByteArray("original\r\n"));

        const QStringList copies = backup.entryList({ QStringLiteral("曲目.txt.*") }, QDir::Files, QDir::Name);
        QCOMPARE(copies.size(), 20);
        QCOMPARE(copies.first(), earlier.at(2));
        QCOMPARE(copies.at(18), earlier.last());
        QCOMPARE(testfiles::fileBytes(backup, copies.last()), QByteArray("original\r\n"));
        QVERIFY(backup.exists(QStringLiteral("場所.txt.20190101-000000")));
        QVERIFY(backup.exists(QStringLiteral("メモ.txt")));
        QCOMPARE(m_dir.entryList(QDir::Files | QDir::Hidden).size(), 2);

        // The next run's copy is the 21st: the oldest goes.
        textfile::resetBackupsForTesting();
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "fourth" }).ok());
        QCOMPARE(backup.entryList({ QStringLiteral("曲目.txt.*") }, QDir::Files, QDir::Name).first(), earlier.at(3));
    }

    void saveIsRefusedWhenNoBackupCanBeMade()
    {
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "original\r\n"));
        QVERIFY(testfiles::putFile(m_dir, QStringLiteral("backup"), "a file where the folder belongs"));
        const textfile::Failure result = textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "second" });
        QCOMPARE(result.fault, textfile::Fault::BackupFolderIsFile);
        QCOMPARE(result.file, QStringLiteral("曲目.txt"));
        QCOMPARE(readBytes(path), QByteArray("original\r\n"));
        QCOMPARE(m_dir.entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
    }

    /// Another program's work on a file after this one read it, and a file that could not be read:
    /// neither a rewrite nor an append may go over it.
    void changedOrUnreadFilesAreNotOverwritten_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<textfile::Fault>("status");
        QTest::newRow("rewritten") << QStringLiteral("rewrite") << textfile::Fault::ChangedOnDisk;
        QTest::newRow("deleted") << QStringLiteral("delete") << textfile::Fault::ChangedOnDisk;
        QTest::newRow("created after") << QStringLiteral("create") << textfile::Fault::ChangedOnDisk;
        QTest::newRow("same size, same second") << QStringLiteral("edit") << textfile::Fault::ChangedOnDisk;
        QTest::newRow("same size, time set back") << QStringLiteral("back") << textfile::Fault::ChangedOnDisk;
        QTest::newRow("unreadable") << QStringLiteral("folder") << textfile::Fault::NotRead;
    }

    void changedOrUnreadFilesAreNotOverwritten()
    {
        QFETCH(QString, change);
        QFETCH(textfile::Fault, status);
        const QString name = QStringLiteral("場所.txt");
        const QString path = m_dir.filePath(name);
        if (change == QStringLiteral("folder"))
            QVERIFY(m_dir.mkdir(name));
        else if (change != QStringLiteral("create"))
            QVERIFY(testfiles::writeBytes(path, "mine\r\n"));
        const textfile::ReadResult read = textfile::readDataFile(m_dir, name);
        QCOMPARE(read.ok(), change != QStringLiteral("folder"));
        if (change == QStringLiteral("rewrite") || change == QStringLiteral("create"))
            QVERIFY(testfiles::writeBytes(path, "theirs, a little longer\r\n"));
        else if (change == QStringLiteral("delete"))
            QVERIFY(QFile::remove(path));
        else if (change == QStringLiteral("edit") || change == QStringLiteral("back")) {
            // Saved in place, as some editors save: only the nanoseconds of its time are not those
            // read, or even its time is put back.
            QVERIFY(testfiles::writeBytes(path, "ours\r\n"));
            const qint64 ns = read.version.modifiedNs + (change == QStringLiteral("edit") ? 1 : 0);
            const timespec times[2] = { { 0, UTIME_OMIT }, { time_t(ns / 1000000000), long(ns % 1000000000) } };
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        }
        const QByteArray before = readBytes(path);

        for (const textfile::Failure &result :
            { textfile::writeLines(m_dir, name, { "new" }), textfile::appendLines(m_dir, name, { "added" }) }) {
            QCOMPARE(result.fault, status);
            QCOMPARE(result.file, name);
        }
        QCOMPARE(readBytes(path), before);
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
        QVERIFY(!m_dir.exists(QStringLiteral("backup")));
        // Read again, the file is the program's to write once more.
        if (change != QStringLiteral("folder")) {
            QVERIFY(textfile::readDataFile(m_dir, name).ok());
            QVERIFY(textfile::appendLines(m_dir, name, { "added" }).ok());
            QCOMPARE(readBytes(path), before + "added\r\n");
        }
    }

    /// A file whose status changed but not its bytes (its permissions, a backup program's marks)
    /// was changed by nobody in a way a save could lose.
    void sameBytesWithANewStatusAreSaved()
    {
        const QString path = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(testfiles::writeBytes(path, "mine\r\n"));
        QVERIFY(textfile::readDataFile(m_dir, QStringLiteral("場所.txt")).ok());
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "added" }).ok());
        QCOMPARE(readBytes(path), QByteArray("mine\r\nadded\r\n"));
    }

    /// A data file that is a symbolic link, as into a synced folder, is saved through to its
    /// target and stays a link; a link to nothing or round in a circle is refused.
    void linkedFileIsSavedThroughToItsTarget()
    {
        const QString name = QStringLiteral("場所.txt");
        const QString link = m_dir.filePath(name);
        QTemporaryDir synced;
        const QString target = QDir(synced.path()).filePath(QStringLiteral("places.txt"));
        QVERIFY(testfiles::writeBytes(target, "old\r\n"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(textfile::readDataFile(m_dir, name).ok());
        QVERIFY(textfile::appendLines(m_dir, name, { "new" }).ok());
        QCOMPARE(readBytes(target), QByteArray("old\r\nnew\r\n"));
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        QCOMPARE(readBytes(link + QStringLiteral(".bak")), QByteArray("old\r\n"));

        QVERIFY(QFile::remove(target));
        QCOMPARE(textfile::readDataFile(m_dir, name).failure.fault, textfile::Fault::ReadLinkToNothing);
        QVERIFY(QFile::remove(link) && QFile::link(name, link));
        QCOMPARE(textfile::readDataFile(m_dir, name).failure.error, ELOOP);
        QCOMPARE(textfile::writeLines(m_dir, name, { "new" }).fault, textfile::Fault::NotRead);
        QVERIFY(QFileInfo(link).isSymLink());
    }

    /// Dated copies named ahead of the clock (a clock once set ahead, copies from another
    /// machine) go by their times on disk, and the copy just made is kept.
    void pruningKeepsTheCopyJustMade()
    {
        QVERIFY(testfiles::writeBytes(m_dir.filePath(QStringLiteral("曲目.txt")), "original\r\n"));
        QVERIFY(m_dir.mkdir(QStringLiteral("backup")));
        const QDir backup(m_dir.filePath(QStringLiteral("backup")));
        for (int day = 1; day <= 20; ++day) {
            const QString copy
                = backup.filePath(QStringLiteral("曲目.txt.209901%1-120000").arg(day, 2, 10, QLatin1Char('0')));
            QVERIFY(testfiles::writeBytes(copy, "future\r\n"));
            // Written in the order of their names but made long ago, the last first.
            const timespec times[2] = { { 0, UTIME_OMIT }, { time_t(1000000 - day), 0 } };
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(copy).constData(), times, 0), 0);
        }
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "second" }).ok());
        const QStringList copies = backup.entryList({ QStringLiteral("曲目.txt.*") }, QDir::Files, QDir::Name);
        QCOMPARE(copies.size(), 20);
        QVERIFY(!copies.contains(QStringLiteral("曲目.txt.20990120-120000")));
        QCOMPARE(testfiles::fileBytes(backup, copies.first()), QByteArray("original\r\n"));
    }

    void leftoversOfKilledSavesAreRemoved()
    {
        QVERIFY(m_dir.mkdir(QStringLiteral("backup")));
        const QStringList removed { QStringLiteral(".カラオケ.TXT.saving"),
            QStringLiteral(".カラオケ.txt.saving.AbcXyz"), QStringLiteral(".曲目.txt.previous"),
            QStringLiteral(".曲目.txt.bak.saving"), QStringLiteral("backup/.曲目.txt.20261207-094512.saving"),
            QStringLiteral("backup/.曲目.txt.20261207-094512_2.saving.qwerty") };
        const QStringList kept { QStringLiteral("カラオケ.TXT"), QStringLiteral("曲目.txt.backup"),
            QStringLiteral(".メモ.txt.saving"), QStringLiteral(".曲目.txt.saving.toolong"),
            QStringLiteral(".曲目.txt.bak"), QStringLiteral("backup/曲目.txt.20261207-094512"),
            QStringLiteral("backup/.曲目.txt.saving") };
        for (const QString &name : removed + kept)
            QVERIFY(testfiles::putFile(m_dir, name, "x"));
        textfile::removeSaveLeftovers(m_dir, { QStringLiteral("カラオケ.TXT"), QStringLiteral("曲目.txt") });
        for (const QString &name : removed)
            QVERIFY2(!m_dir.exists(name), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(m_dir.exists(name), qPrintable(name));
    }

    void fileCreatedInARunGetsNoBackup()
    {
        const QString path = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "first" }).ok());
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "second" }).ok());
        QCOMPARE(readBytes(path), QByteArray("first\r\nsecond\r\n"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
    }

    void readingAgainKeepsTheRunsBackup()
    {
        // The old content is kept once a run: reading the file back after a save, as the stores do,
        // must not make the next save keep the content of the first.
        const QString name = QStringLiteral("曲目.txt");
        const QString path = m_dir.filePath(name);
        QVERIFY(testfiles::writeBytes(path, "old\r\n"));
        QVERIFY(textfile::readDataFile(m_dir, name).ok());
        QVERIFY(textfile::rewriteDataFile(m_dir, name, "first\r\n").ok());
        QVERIFY(textfile::readDataFile(m_dir, name).ok());
        QVERIFY(textfile::rewriteDataFile(m_dir, name, "second\r\n").ok());
        QCOMPARE(readBytes(path + QStringLiteral(".bak")), QByteArray("old\r\n"));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("backup"))).entryList(QDir::Files).size(), 1);
    }

    void unencodableWriteLeavesTheFileAlone()
    {
        const QString path = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(testfiles::writeBytes(path, "keep\r\n"));
        const textfile::Failure result = textfile::writeLines(m_dir, QStringLiteral("場所.txt"), { "ok", "bad 😀" });
        QCOMPARE(result.fault, textfile::Fault::Unencodable);
        QCOMPARE(result.detail, QStringLiteral("😀"));
        QCOMPARE(result.file, QStringLiteral("場所.txt"));
        QCOMPARE(readBytes(path), QByteArray("keep\r\n"));
        // A line break would make two lines of one: refused by the line writers alike, as typed text.
        const textfile::Failure lineBreak = textfile::writeLines(m_dir, QStringLiteral("場所.txt"), { "a\nb" });
        QCOMPARE(lineBreak.detail, QStringLiteral("\n"));
        QVERIFY(lineBreak.file.isEmpty());
        QCOMPARE(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "a\rb" }).detail, QStringLiteral("\r"));
        QCOMPARE(readBytes(path), QByteArray("keep\r\n"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
    }

    void appendRewritesAForeignFileWholeInCp932()
    {
        const QString name = QStringLiteral("場所.txt");
        const QString path = m_dir.filePath(name);
        // UTF-8 with its mark and LF line ends, in the UTF-8 of this source file.
        const QByteArray original("\xEF\xBB\xBF渋谷\n新宿\n");
        QVERIFY(testfiles::writeBytes(path, original));
        QVERIFY(textfile::readDataFile(m_dir, name).ok());
        QCOMPARE(textfile::foreignEncodedFiles(), QList<textfile::ForeignFile>({ { name, QStringLiteral("UTF-8") } }));

        QVERIFY(textfile::appendLines(m_dir, name, { QStringLiteral("池袋") }).ok());
        QCOMPARE(readBytes(path), QByteArray::fromHex("8f61924a 0d0a 90568f68 0d0a 927291dc 0d0a"));
        QVERIFY(textfile::foreignEncodedFiles().isEmpty());
        const QDir backup(m_dir.filePath(QStringLiteral("backup")));
        const QStringList copies = backup.entryList({ name + QStringLiteral(".*") }, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(testfiles::fileBytes(backup, copies.first()), original);
    }

    void characterOfAForeignFileThatCp932LacksStopsItsSave()
    {
        const QString name = QStringLiteral("メンバー.txt");
        const QString path = m_dir.filePath(name);
        const QByteArray original("歌😀\n");
        QVERIFY(testfiles::writeBytes(path, original));
        const textfile::ReadResult read = textfile::readDataFile(m_dir, name);
        const QStringList lines = textfile::splitLines(read.bytes).lines;
        for (const textfile::Failure &result : { textfile::writeLines(m_dir, name, lines + QStringList { "new" }),
                 textfile::appendLines(m_dir, name, { "new" }) }) {
            QCOMPARE(result.fault, textfile::Fault::Unencodable);
            QCOMPARE(result.detail, QStringLiteral("😀"));
            QCOMPARE(result.file, name);
        }
        QCOMPARE(readBytes(path), original);
        QVERIFY(!m_dir.exists(QStringLiteral("backup")));
    }

    void appendEndsAnUnterminatedLastLine_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("appended");
        QTest::addColumn<QString>("answer"); ///< the user's, to the encoding of a file read first
        // Line ends of other editors, which the rewrite makes CR LF; a file ended as the program
        // ends it keeps its bytes.
        QTest::newRow("mixed, last line unterminated")
            << true << QByteArray("A\rB\nC") << QByteArray("A\r\nB\r\nC\r\nD\r\n") << QString();
        QTest::newRow("CR LF") << true << QByteArray("A\r\nB\r\n") << QByteArray("A\r\nB\r\nD\r\n") << QString();
        QTest::newRow("CR LF, then LF") << true << QByteArray("A\r\nB\n") << QByteArray("A\r\nB\r\nD\r\n") << QString();
        QTest::newRow("lone CR, then CR LF")
            << true << QByteArray("A\rB\r\n") << QByteArray("A\r\nB\r\nD\r\n") << QString();
        QTest::newRow("CR LF, then a lone CR")
            << true << QByteArray("A\r\n\r") << QByteArray("A\r\n\r\nD\r\n") << QString();
        QTest::newRow("LF only") << true << QByteArray("\n") << QByteArray("\r\nD\r\n") << QString();
        QTest::newRow("CR LF, last line unterminated")
            << true << QByteArray("A\r\nB") << QByteArray("A\r\nB\r\nD\r\n") << QString();
        QTest::newRow("empty") << true << QByteArray("") << QByteArray("D\r\n") << QString();
        QTest::newRow("no file") << false << QByteArray() << QByteArray("D\r\n") << QString();
        // Old bytes are kept only in code page 932: never two encodings in one file.
        const QByteArray places("カラオケ館\r\nビッグエコー\r\nジャンカラ\r\n");
        QTest::newRow("UTF-8 names, answered UTF-8")
            << true << places
            << QByteArray::fromHex(
                   "834a8389834983508ad90d0a 83728362834f83478352815b0d0a 835783838393834a83890d0a 440d0a")
            << QStringLiteral("UTF-8");
        QTest::newRow("the same bytes, answered シフトJIS") << true << places << places + "D\r\n"
                                                            << QStringLiteral("シフトJIS");
    }

    void appendEndsAnUnterminatedLastLine()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, appended);
        QFETCH(QString, answer);
        // The name finds the file whatever the case of its ASCII letters, or names a new one.
        const QString path = m_dir.filePath(exists ? QStringLiteral("メンバー.txt") : QStringLiteral("メンバー.TXT"));
        if (exists)
            QVERIFY(testfiles::writeBytes(path, file));
        if (!answer.isEmpty()) {
            QVERIFY(textfile::readDataFile(m_dir, QStringLiteral("メンバー.TXT")).ok());
            const QList<textfile::GuessedFile> guessed = textfile::guessedEncodingFiles();
            QCOMPARE(guessed.size(), 1);
            textfile::settleFileEncoding(
                guessed.first(), answer == "UTF-8" ? textfile::Encoding::Utf8 : textfile::Encoding::Cp932);
        }
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("メンバー.TXT"), { "D" }).ok());
        QCOMPARE(readBytes(path), appended);
        // What this program wrote reads back as written for the rest of the run.
        QCOMPARE(textfile::encodingOf(appended), textfile::EncodingGuess());
    }

    void writeProtectedFilesAndFoldersAreNotReplaced()
    {
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "protected\r\n"));
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        textfile::Failure result = textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "x" });
        QCOMPARE(result.fault, textfile::Fault::WriteFailed);
        QCOMPARE(result.error, EACCES);
        QCOMPARE(readBytes(path), QByteArray("protected\r\n"));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        result = textfile::appendLines(m_dir, QStringLiteral("曲目.txt"), { "y" });
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(result.fault, textfile::Fault::WriteFailed);
        QCOMPARE(readBytes(path), QByteArray("protected\r\n"));
    }

    void anotherUsersFileFollowsTheSystemsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("written");
        // Anyone may add and rename files in the folder: the file's own permissions decide.
        QTest::newRow("another user's file") << 0644 << false;
        QTest::newRow("a file the user's group may write") << 0464 << true;
    }

    void anotherUsersFileFollowsTheSystemsPermissions()
    {
        if (::geteuid() != 0)
            QSKIP("running the writer as another user needs root");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("setpriv is not installed");
        QFETCH(int, mode);
        QFETCH(bool, written);
        constexpr int Nobody = 65534;
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "root's\r\n"));
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()).constData(), 0777), 0);
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 0, Nobody), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);

        QProcess writer;
        const QString id = QString::number(Nobody);
        writer.start(setpriv,
            { QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id, QStringLiteral("--clear-groups"),
                QStringLiteral(WRITE_LINES_PROGRAM), m_dir.path(), QStringLiteral("曲目.txt"), QStringLiteral("x") });
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QVERIFY2(writer.exitCode() == 0, writer.readAllStandardError().constData());
        QCOMPARE(QString::fromUtf8(writer.readAllStandardOutput()),
            written ? QStringLiteral("saved") : QString::number(EACCES));
        QCOMPARE(readBytes(path), written ? QByteArray("x\r\n") : QByteArray("root's\r\n"));
    }

    /// A dated copy put back, together with another file, is the copy byte for byte, and the version
    /// it replaced becomes a copy too; any refusal leaves both files and the copies as they were.
    void restorePutsACopyBackAndKeepsWhatItReplaced_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<textfile::Fault>("fault");
        QTest::newRow("put back") << QString() << textfile::Fault::None;
        QTest::newRow("copy gone") << QStringLiteral("gone") << textfile::Fault::RestoreReadFailed;
        QTest::newRow("copy not text") << QStringLiteral("binary") << textfile::Fault::RestoreUndecodable;
        QTest::newRow("other file write-protected") << QStringLiteral("protected") << textfile::Fault::WriteFailed;
    }

    void restorePutsACopyBackAndKeepsWhatItReplaced()
    {
        QFETCH(QString, problem);
        QFETCH(textfile::Fault, fault);
        const QString songs = m_dir.filePath(QStringLiteral("曲目.txt")),
                      places = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(testfiles::writeBytes(songs, "first\r\n") && testfiles::writeBytes(places, "here\r\n"));
        // The run keeps "first"; putting back must keep "third" all the same.
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "second" }).ok());
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "third" }).ok());
        QVERIFY(textfile::readDataFile(m_dir, QStringLiteral("場所.txt")).ok());
        const QDir backup(m_dir.filePath(QStringLiteral("backup")));
        const QByteArray older = problem == QStringLiteral("binary") ? "\x81\x20\r\n" : "older\nunended";
        QVERIFY(testfiles::putFile(backup, QStringLiteral("曲目.txt.20200101-120000"), older));
        QVERIFY(testfiles::putFile(backup, QStringLiteral("曲目.txt.20200101-120000_2"), "later\r\n"));
        QVERIFY(testfiles::putFile(backup, QStringLiteral("メモ.txt.20200101-120000"), "not ours\r\n"));
        const QStringList names { QStringLiteral("場所.txt"), QStringLiteral("曲目.txt") };
        const QList<textfile::DatedCopy> copies = textfile::datedCopies(m_dir, names);
        QCOMPARE(copies.size(), 3);
        QCOMPARE(testfiles::fileBytes(backup, copies.first().name), QByteArray("first\r\n"));
        QCOMPARE(copies.at(1).name, QStringLiteral("曲目.txt.20200101-120000_2"));
        QCOMPARE(copies.last(),
            (textfile::DatedCopy { QStringLiteral("曲目.txt"), QStringLiteral("曲目.txt.20200101-120000"),
                QDateTime(QDate(2020, 1, 1), QTime(12, 0)), older.size() }));
        if (problem == QStringLiteral("gone"))
            QVERIFY(QFile::remove(backup.filePath(copies.last().name)));
        if (problem == QStringLiteral("protected"))
            QVERIFY(QFile::setPermissions(places, QFileDevice::ReadOwner));

        QByteArray bytes;
        textfile::Failure result = textfile::readDatedCopy(m_dir, copies.last(), &bytes);
        if (result.ok()) {
            textfile::SaveBatch batch(m_dir);
            result = textfile::restoreDataFile(m_dir, QStringLiteral("曲目.txt"), bytes);
            if (result.ok())
                result = textfile::restoreDataFile(m_dir, QStringLiteral("場所.txt"), "there\r\n");
            if (result.ok())
                result = batch.commit();
        }
        QCOMPARE(result.fault, fault);
        const bool restored = fault == textfile::Fault::None;
        QCOMPARE(readBytes(songs), restored ? older : QByteArray("third\r\n"));
        QCOMPARE(readBytes(places), restored ? QByteArray("there\r\n") : QByteArray("here\r\n"));
        const QList<textfile::DatedCopy> after = textfile::datedCopies(m_dir, names);
        QCOMPARE(after.size(), restored ? 5 : 3 - int(problem == QStringLiteral("gone")));
        if (restored) {
            // Both copies of this second, in either order.
            QByteArrayList kept { testfiles::fileBytes(backup, after.at(0).name),
                testfiles::fileBytes(backup, after.at(1).name) };
            std::sort(kept.begin(), kept.end());
            QCOMPARE(kept, QByteArrayList({ "here\r\n", "third\r\n" }));
        }
    }

    void vanishedFolderFails()
    {
        QDir gone(m_dir.filePath(QStringLiteral("gone")));
        const textfile::Failure result = textfile::writeLines(gone, QStringLiteral("曲目.txt"), { "x" });
        QCOMPARE(result.fault, textfile::Fault::WriteFailed);
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_data_file.moc"
