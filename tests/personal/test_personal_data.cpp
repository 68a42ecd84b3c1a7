#include "personal/PersonalData.h"
#include "tests/support/FreshRun.h"

#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestPersonalData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_dir = QDir(m_folder->path());
        m_file = m_dir.filePath(PersonalData::FileName);
        textfile::resetBackupsForTesting();
    }

    void readsNameThenTarget()
    {
        PersonalData data { {}, 0, 19, 19 };
        QVERIFY(testfiles::copyTestData(QStringLiteral("personal/name-and-target.txt"), m_file));
        QVERIFY(readPersonalData(m_dir, data).ok());
        QCOMPARE(data.userName, QStringLiteral("山田"));
        QCOMPARE(data.targetPoints, qint16(500));
        QCOMPARE(data.currentPoints, qint64(19));
    }

    void fieldsFlowAcrossLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("target");
        QTest::newRow("one line") << QByteArray("N,300\r\n") << "N" << 300;
        QTest::newRow("quoted") << QByteArray("\"N\"\r\n\"42\"\r\n") << "N" << 42;
        QTest::newRow("empty name") << QByteArray("\r\n250\r\n") << "" << 250;
        QTest::newRow("name only") << QByteArray("N") << "N" << 0;
        QTest::newRow("no number") << QByteArray("N\r\nabc\r\n") << "N" << 0;
        QTest::newRow("empty file") << QByteArray() << "" << 0;
    }

    void fieldsFlowAcrossLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(int, target);
        QVERIFY(testfiles::writeBytes(m_file, bytes));
        PersonalData data { QStringLiteral("old"), 7, 0, 0 };
        QVERIFY(readPersonalData(m_dir, data).ok());
        QCOMPARE(data.userName, name);
        QCOMPARE(data.targetPoints, qint16(target));
    }

    void missingFileGivesNoNameAndNoTarget()
    {
        PersonalData data { QStringLiteral("old"), 7, 0, 0 };
        QVERIFY(readPersonalData(m_dir, data).ok());
        QCOMPARE(data.userName, QString());
        QCOMPARE(data.targetPoints, qint16(0));
    }

    void unreadableFileLeavesTheData()
    {
        // A folder where the file should be cannot be read, whoever runs the test.
        QVERIFY(m_dir.mkpath(PersonalData::FileName));
        PersonalData data { QStringLiteral("old"), 7, 0, 0 };
        const textfile::Failure result = readPersonalData(m_dir, data);
        QCOMPARE(result.fault, textfile::Fault::ReadFailed);
        QVERIFY(result.error != 0);
        QCOMPARE(result.file, PersonalData::FileName);
        QCOMPARE(data.userName, QStringLiteral("old"));
        QCOMPARE(data.targetPoints, qint16(7));
    }

    void savesTheTextsAsTyped()
    {
        PersonalData data { {}, 0, 19, 19 };
        QVERIFY(savePersonalData(m_dir, data, QStringLiteral("山田"), QStringLiteral("200.5")).ok());
        QCOMPARE(testfiles::readBytes(m_file), testfiles::testData(QStringLiteral("personal/saved-200.5.txt")));
        QCOMPARE(data.userName, QStringLiteral("山田"));
        QCOMPARE(data.targetPoints, qint16(200));
        QCOMPARE(data.currentPoints, qint64(19));

        QVERIFY(savePersonalData(m_dir, data, QString(), QStringLiteral("250")).ok());
        PersonalData reread;
        QVERIFY(readPersonalData(m_dir, reread).ok());
        QCOMPARE(reread.userName, QString());
        QCOMPARE(reread.targetPoints, qint16(250));
    }

    void refusesWhatTheFileCannotCarry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::addColumn<textfile::Fault>("status");
        QTest::addColumn<QString>("character");
        const auto bad = textfile::Fault::TargetOutOfRange;
        QTest::newRow("empty target") << "N"
                                      << "" << bad << "";
        QTest::newRow("not a number") << "N"
                                      << "abc" << bad << "";
        QTest::newRow("zero") << "N"
                              << "0" << bad << "";
        QTest::newRow("half rounds to zero") << "N"
                                             << "0.5" << bad << "";
        QTest::newRow("negative") << "N"
                                  << "-3" << bad << "";
        QTest::newRow("past the top") << "N"
                                      << "32767.5" << bad << "";
        QTest::newRow("huge") << "N"
                              << "1e300" << bad << "";
        const auto separator = textfile::Fault::NameHoldsSeparator;
        QTest::newRow("comma") << "山田,太郎"
                               << "100" << separator << "";
        QTest::newRow("quote") << "\"N"
                               << "100" << separator << "";
        const auto unencodable = textfile::Fault::Unencodable;
        QTest::newRow("emoji name") << "N😀"
                                    << "100" << unencodable << "😀";
        QTest::newRow("emoji target") << "N"
                                      << "100😀" << unencodable << "😀";
        QTest::newRow("line break") << "N\nM"
                                    << "100" << unencodable << "\n";
    }

    void refusesWhatTheFileCannotCarry()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(textfile::Fault, status);
        QFETCH(QString, character);
        const textfile::Failure check = checkPersonalInput(name, target);
        QCOMPARE(check.fault, status);
        QCOMPARE(check.detail, character);
        PersonalData data { QStringLiteral("old"), 7, 0, 0 };
        QCOMPARE(savePersonalData(m_dir, data, name, target), check);
        QCOMPARE(data.userName, QStringLiteral("old"));
        QCOMPARE(data.targetPoints, qint16(7));
        QVERIFY(!QFile::exists(m_file));
    }

    void targetsRoundHalfToEvenAtTheEdges()
    {
        QCOMPARE(typedTargetPoints("0.6").value_or(0), qint16(1));
        QCOMPARE(typedTargetPoints("1.5").value_or(0), qint16(2));
        QCOMPARE(typedTargetPoints(" 250点").value_or(0), qint16(250));
        QCOMPARE(typedTargetPoints("32767.4").value_or(0), qint16(32767));
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QDir m_dir;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestPersonalData)
#include "test_personal_data.moc"
