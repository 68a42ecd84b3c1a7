#include "tests/support/FreshRun.h"
#include "windows/PrivateWindow.h"

#include "tables/SharedTables.h"
#include "tests/support/ScriptedMessages.h"
#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
// "山田" in code page 932.
const QByteArray YamadaBytes("\x8e\x52\x93\x63", 4);
const QByteArray StoredFile = YamadaBytes + "\r\n100\r\n";
} // namespace

class TestPrivateWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsTheLoadedValues();
    void saveWritesTextsAndRecomputesLevel();
    void fractionalTargetIsKeptAsTyped();
    void refusalsWriteNothing_data();
    void refusalsWriteNothing();
    void failedWriteChangesNothing();
    void returnClosesWithoutSaving();

private:
    void openWindow();
    QLineEdit *edit(const char *name) const { return m_window->findChild<QLineEdit *>(name); }
    QString label(const char *name) const { return m_window->findChild<QLabel *>(name)->text(); }
    void click(const char *name) { QTest::mouseClick(m_window->findChild<QPushButton *>(name), Qt::LeftButton); }
    QByteArray fileBytes() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<PrivateWindow> m_window;
    std::unique_ptr<ScriptedMessages> m_messages;
};

void TestPrivateWindow::init()
{
    textfile::resetBackupsForTesting();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(testfiles::putFile(QDir(m_dir->path()), PersonalData::FileName, StoredFile));

    // One outing of 19 hours: 19 points, level 19 of the target 100.
    QVERIFY(DiaryBook()
                .append(QDir(m_dir->path()), { QStringLiteral("2024年01月01日"), QStringLiteral("19"), {}, {}, {}, {} })
                .ok());
    m_tables = std::make_unique<SharedTables>(TablesReading(QDir(m_dir->path())).finish());
    m_messages = std::make_unique<ScriptedMessages>();
}

void TestPrivateWindow::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_tables.reset();
    m_dir.reset();
}

void TestPrivateWindow::openWindow()
{
    m_window = std::make_unique<PrivateWindow>(*m_tables);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QByteArray TestPrivateWindow::fileBytes() const
{
    return testfiles::fileBytes(QDir(m_dir->path()), PersonalData::FileName);
}

void TestPrivateWindow::showsTheLoadedValues()
{
    openWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("プライベートデータ"));
    QCOMPARE(edit("txtNamae")->text(), QStringLiteral("山田"));
    QCOMPARE(edit("txtPoint")->text(), QStringLiteral("100"));
    QCOMPARE(label("lblPoint"), QStringLiteral("19 P"));
    QCOMPARE(label("lblLevel"), QStringLiteral("19.0 %"));
}

void TestPrivateWindow::saveWritesTextsAndRecomputesLevel()
{
    openWindow();
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    edit("txtPoint")->setText(QStringLiteral("250"));
    click("cmdHozon");

    QCOMPARE(fileBytes(), YamadaBytes + "\r\n250\r\n");
    QCOMPARE(m_tables->personal().targetPoints, qint16(250));
    QCOMPARE(m_tables->personal().levelPercent, qint64(8)); // 19 / 250 * 100 = 7.6
    QCOMPARE(label("lblLevel"), QStringLiteral("8.0 %"));
    QCOMPARE(label("lblPoint"), QStringLiteral("19 P"));
    QCOMPARE(saved.count(), 1);
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(m_window->isVisible());
}

void TestPrivateWindow::fractionalTargetIsKeptAsTyped()
{
    openWindow();
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    edit("txtNamae")->setText(QStringLiteral("Taro"));
    edit("txtPoint")->setText(QStringLiteral("200.5"));
    click("cmdHozon");

    QCOMPARE(fileBytes(), QByteArray("Taro\r\n200.5\r\n"));
    QCOMPARE(m_tables->personal().userName, QStringLiteral("Taro"));
    QCOMPARE(m_tables->personal().targetPoints, qint16(200)); // half to even
    QCOMPARE(m_tables->personal().levelPercent, qint64(10)); // 19 / 200 * 100 = 9.5
    QCOMPARE(label("lblLevel"), QStringLiteral("10.0 %"));
    QCOMPARE(saved.count(), 1);
}

void TestPrivateWindow::refusalsWriteNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");

    const QString badTarget = QStringLiteral("目標ポイントは１から３２７６７までの数字で入力してください");
    const QString badName = QStringLiteral("名前にコンマ（,）や引用符（\"）は使えません");
    QTest::newRow("target not a number") << "山田"
                                         << "abc" << badTarget;
    QTest::newRow("target empty") << "山田"
                                  << "" << badTarget;
    QTest::newRow("target zero") << "山田"
                                 << "0" << badTarget;
    QTest::newRow("target too large") << "山田"
                                      << "32768" << badTarget;
    QTest::newRow("name with comma") << "山田,花子"
                                     << "250" << badName;
    QTest::newRow("name with quote") << "\"山田\""
                                     << "250" << badName;
    QTest::newRow("name not in code page 932") << "Zoë"
                                               << "250" << QStringLiteral("「ë」は保存できない文字です");
}

void TestPrivateWindow::refusalsWriteNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(QString, message);

    openWindow();
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    edit("txtNamae")->setText(name);
    edit("txtPoint")->setText(target);
    click("cmdHozon");

    const ShownMessage expected { message, QStringLiteral("入力エラー"), MessageButtons::Ok, MessageIcon::Warning };
    QCOMPARE(m_messages->shown(), QList<ShownMessage> { expected });
    QCOMPARE(fileBytes(), StoredFile);
    QCOMPARE(m_tables->personal().userName, QStringLiteral("山田"));
    QCOMPARE(m_tables->personal().targetPoints, qint16(100));
    QCOMPARE(m_tables->personal().levelPercent, qint64(19));
    QCOMPARE(label("lblLevel"), QStringLiteral("19.0 %"));
    QCOMPARE(saved.count(), 0);
}

void TestPrivateWindow::failedWriteChangesNothing()
{
    // A folder where the file should be makes the write fail whoever runs the test.
    ReadTables read = TablesReading(QDir(m_dir->path())).finish();
    read.folder = QDir(m_dir->path() + QStringLiteral("/blocked"));
    m_tables = std::make_unique<SharedTables>(std::move(read));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("blocked/") + PersonalData::FileName));
    openWindow();
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    edit("txtPoint")->setText(QStringLiteral("250"));
    click("cmdHozon");

    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().title, QStringLiteral("保存エラー"));
    QCOMPARE(m_tables->personal().targetPoints, qint16(100));
    QCOMPARE(m_tables->personal().levelPercent, qint64(19));
    QCOMPARE(label("lblLevel"), QStringLiteral("19.0 %"));
    QCOMPARE(saved.count(), 0);
}

void TestPrivateWindow::returnClosesWithoutSaving()
{
    openWindow();
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    edit("txtNamae")->setText(QStringLiteral("Taro"));
    edit("txtPoint")->setText(QStringLiteral("250"));
    click("cmdModori");
    QCOMPARE(m_messages->shown().value(0).text, QStringLiteral("入力中のプライベートデータは保存されていません。"));
    QVERIFY(m_window->isVisible());
    m_messages->queueChoice(1);
    click("cmdModori");

    QVERIFY(!m_window->isVisible());
    QCOMPARE(fileBytes(), StoredFile);
    QCOMPARE(m_tables->personal().userName, QStringLiteral("山田"));
    QCOMPARE(m_tables->personal().targetPoints, qint16(100));
    QCOMPARE(saved.count(), 0);
}

QTEST_MAIN(TestPrivateWindow)
#include "test_private_window.moc"
