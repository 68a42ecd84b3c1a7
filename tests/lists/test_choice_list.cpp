#include "lists/ChoiceList.h"
#include "tests/support/FreshRun.h"

#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testfiles::fileBytes;
using testfiles::putFile;

QByteArray dataBytes(const QString &name)
{
    return testfiles::testData(QStringLiteral("diary/") + name);
}

} // namespace

class TestChoiceList : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readsWholeLines();
    void appendEndsUnterminatedLine();
    void appendCreatesMissingFile();
    void upperCaseExtensionIsTheSameFile();
    void unwritableNameIsRefused_data();
    void unwritableNameIsRefused();
    void memberPickFollowsTheName_data();
    void memberPickFollowsTheName();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QDir m_folder;
};

void TestChoiceList::init()
{
    textfile::resetBackupsForTesting();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_folder = QDir(m_temp->path());
}

void TestChoiceList::readsWholeLines()
{
    QVERIFY(putFile(m_folder, choicelist::PlaceFile, dataBytes("choices.txt")));
    const QStringList expected { QStringLiteral("カラオケ館"), QString(), QStringLiteral(" ビッグ, \"エコー\" ") };
    QCOMPARE(choicelist::read(m_folder, choicelist::PlaceFile), expected);
    QCOMPARE(choicelist::parse(dataBytes("choices.txt")), expected);
}

void TestChoiceList::appendEndsUnterminatedLine()
{
    QVERIFY(putFile(m_folder, choicelist::MemberFile, dataBytes("choices-unterminated.txt")));
    QCOMPARE(choicelist::read(m_folder, choicelist::MemberFile),
        QStringList({ QStringLiteral("駅前"), QStringLiteral("大広間") }));

    QVERIFY(choicelist::append(m_folder, choicelist::MemberFile, QStringLiteral("新しい店")).ok());
    QCOMPARE(fileBytes(m_folder, choicelist::MemberFile), dataBytes("choices-appended.txt"));
    QCOMPARE(choicelist::read(m_folder, choicelist::MemberFile),
        QStringList({ QStringLiteral("駅前"), QStringLiteral("大広間"), QStringLiteral("新しい店") }));
}

void TestChoiceList::appendCreatesMissingFile()
{
    QVERIFY(choicelist::read(m_folder, choicelist::GenreFile).isEmpty());
    QVERIFY(choicelist::append(m_folder, choicelist::PlaceFile, QStringLiteral("駅前")).ok());
    const QByteArray firstLine = dataBytes("choices-appended.txt").left(6);
    QCOMPARE(fileBytes(m_folder, choicelist::PlaceFile), firstLine);
    QCOMPARE(choicelist::read(m_folder, choicelist::PlaceFile), QStringList({ QStringLiteral("駅前") }));
}

void TestChoiceList::upperCaseExtensionIsTheSameFile()
{
    const QString upperCase = QStringLiteral("メンバー.TXT");
    QVERIFY(putFile(m_folder, upperCase, dataBytes("choices-unterminated.txt")));
    QCOMPARE(choicelist::read(m_folder, choicelist::MemberFile).size(), 2);
    QVERIFY(choicelist::append(m_folder, choicelist::MemberFile, QStringLiteral("新しい店")).ok());
    QCOMPARE(fileBytes(m_folder, upperCase), dataBytes("choices-appended.txt"));
    QVERIFY(!QFileInfo::exists(m_folder.filePath(choicelist::MemberFile)));
}

void TestChoiceList::unwritableNameIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("character");
    QTest::newRow("not code page 932") << QStringLiteral("노래방") << QStringLiteral("노");
    QTest::newRow("line break") << QStringLiteral("駅前\r\n大広間") << QStringLiteral("\r");
}

void TestChoiceList::unwritableNameIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, character);

    QVERIFY(putFile(m_folder, choicelist::PlaceFile, dataBytes("choices-unterminated.txt")));
    const textfile::Failure result = choicelist::append(m_folder, choicelist::PlaceFile, name);
    QCOMPARE(result.fault, textfile::Fault::Unencodable);
    QCOMPARE(result.detail, character);
    QCOMPARE(fileBytes(m_folder, choicelist::PlaceFile), dataBytes("choices-unterminated.txt"));
}

void TestChoiceList::memberPickFollowsTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("members");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("choice");
    using P = choicelist::MemberPick;
    QTest::newRow("empty") << QString() << 0 << int(P::Nothing) << -1;
    QTest::newRow("listed") << QStringLiteral("花子") << 9 << int(P::TakeListed) << 1;
    QTest::newRow("listed twice: the first") << QStringLiteral("太郎") << 0 << int(P::TakeListed) << 0;
    QTest::newRow("look-alike of a listed") << QStringLiteral("波\u301C") << 0 << int(P::TakeListed) << 4;
    QTest::newRow("new") << QStringLiteral("次郎") << 9 << int(P::AskToAdd) << -1;
    QTest::newRow("blanks") << QStringLiteral(" 花子") << 0 << int(P::AskToAdd) << -1;
    QTest::newRow("separator, even listed") << QStringLiteral("----------") << 0 << int(P::RefuseSeparator) << -1;
    QTest::newRow("ten members") << QStringLiteral("花子") << 10 << int(P::RefuseFull) << -1;
    QTest::newRow("new, ten members: a choice only") << QStringLiteral("次郎") << 10 << int(P::AskToAdd) << -1;
}

void TestChoiceList::memberPickFollowsTheName()
{
    QFETCH(QString, name);
    QFETCH(int, members);
    QFETCH(int, action);
    QFETCH(int, choice);
    const QStringList choices { QStringLiteral("太郎"), QStringLiteral("花子"), QStringLiteral("太郎"),
        QStringLiteral("----------"), QStringLiteral("波\uFF5E") };
    const choicelist::MemberPick pick = choicelist::memberPick(name, choices, members);
    QCOMPARE(int(pick.action), action);
    QCOMPARE(pick.choice, choice);
}

QTEST_GUILESS_MAIN(TestChoiceList)
#include "test_choice_list.moc"
