#include "textfile/DataFile.h"

#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testfiles::readBytes;

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

    void firstRewriteOfARunKeepsABackup()
    {
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "original\r\n"));
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "second" }).ok());
        QVERIFY(textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "third" }).ok());
        QCOMPARE(readBytes(path + QStringLiteral(".bak")), QByteArray("original\r\n"));
        QCOMPARE(readBytes(path), QByteArray("third\r\n"));
    }

    void fileCreatedInARunGetsNoBackup()
    {
        const QString path = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "first" }).ok());
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "second" }).ok());
        QCOMPARE(readBytes(path), QByteArray("first\r\nsecond\r\n"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
    }

    void unencodableWriteLeavesTheFileAlone()
    {
        const QString path = m_dir.filePath(QStringLiteral("場所.txt"));
        QVERIFY(testfiles::writeBytes(path, "keep\r\n"));
        const SaveResult result = textfile::writeLines(m_dir, QStringLiteral("場所.txt"), { "ok", "bad 😀" });
        QCOMPARE(result.status, SaveResult::Status::Unencodable);
        QCOMPARE(result.character, QStringLiteral("😀"));
        QCOMPARE(readBytes(path), QByteArray("keep\r\n"));
        // A line break would make two lines of one: refused by the line writers alike.
        QCOMPARE(textfile::writeLines(m_dir, QStringLiteral("場所.txt"), { "a\nb" }).character, QStringLiteral("\n"));
        QCOMPARE(textfile::appendLines(m_dir, QStringLiteral("場所.txt"), { "a\rb" }).character, QStringLiteral("\r"));
        QCOMPARE(readBytes(path), QByteArray("keep\r\n"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
    }

    void appendEndsAnUnterminatedLastLine()
    {
        const QString path = m_dir.filePath(QStringLiteral("メンバー.txt"));
        QVERIFY(testfiles::writeBytes(path, "A\r\nB"));
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("メンバー.TXT"), { "C" }).ok());
        QCOMPARE(readBytes(path), QByteArray("A\r\nB\r\nC\r\n"));
        QVERIFY(textfile::appendLines(m_dir, QStringLiteral("新しい.txt"), { "X" }).ok());
        QCOMPARE(readBytes(m_dir.filePath(QStringLiteral("新しい.txt"))), QByteArray("X\r\n"));
    }

    void writeProtectedFilesAndFoldersAreNotReplaced()
    {
        const QString path = m_dir.filePath(QStringLiteral("曲目.txt"));
        QVERIFY(testfiles::writeBytes(path, "protected\r\n"));
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        SaveResult result = textfile::writeLines(m_dir, QStringLiteral("曲目.txt"), { "x" });
        QCOMPARE(result.status, SaveResult::Status::WriteFailed);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(readBytes(path), QByteArray("protected\r\n"));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        result = textfile::appendLines(m_dir, QStringLiteral("曲目.txt"), { "y" });
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(result.status, SaveResult::Status::WriteFailed);
        QCOMPARE(readBytes(path), QByteArray("protected\r\n"));
    }

    void vanishedFolderFails()
    {
        QDir gone(m_dir.filePath(QStringLiteral("gone")));
        const SaveResult result = textfile::writeLines(gone, QStringLiteral("曲目.txt"), { "x" });
        QCOMPARE(result.status, SaveResult::Status::WriteFailed);
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_data_file.moc"
