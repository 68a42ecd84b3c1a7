#include "tables/SharedTables.h"
#include "tests/support/ComboBoxes.h"
#include "tests/support/ScriptedMessages.h"
#include "tests/support/TestFiles.h"
#include "toolkit/Twips.h"
#include "windows/SongEntryWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString SongFile = QStringLiteral("曲目.txt");
const QString GenreFile = QStringLiteral("ジャンル.txt");
const QPoint TopLeft(40, 30);

using testfiles::readBytes;

} // namespace

class TestSongEntryWindow : public QObject
{
    Q_OBJECT

private:
    void loadTables(bool withData = true);
    void openWindow(SongEntryMode mode = SongEntryMode::NewSong);
    QString folderFile(const QString &name) const { return m_dir->filePath(name); }
    QLineEdit *textBox(const char *name) const { return m_window->findChild<QLineEdit *>(QLatin1String(name)); }
    QComboBox *choiceBox(const char *name) const { return m_window->findChild<QComboBox *>(QLatin1String(name)); }
    void fill(const QString &title, const QString &genre, const QString &count);
    void save() { QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdHozon")), Qt::LeftButton); }
    void expectRefusal(const QString &text, const QString &title);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<ScriptedMessages> m_messages;
    QString m_artist;
    QPointer<SongEntryWindow> m_window;

private Q_SLOTS:
    void init();
    void cleanup();

    void placesEveryControl();
    void opensBlankWithTheChoices();
    void genresAreReadAtEachOpening();
    void fillsFromTheLowestSlotWithTheTitle();
    void saveAddsTheSongAndCloses();
    void countIsRoundedHalfToEven_data();
    void countIsRoundedHalfToEven();
    void badCountIsRefused_data();
    void badCountIsRefused();
    void unstorableTextIsRefused_data();
    void unstorableTextIsRefused();
    void a1001stSongIsRefused();
    void failedWriteKeepsTheWindowOpen();
    void returnSavesNothing();
};

void TestSongEntryWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = std::make_unique<ScriptedMessages>();
    m_artist = QStringLiteral("加藤");
}

void TestSongEntryWindow::cleanup()
{
    delete m_window;
    m_messages.reset();
    m_tables.reset();
    m_dir.reset();
}

void TestSongEntryWindow::loadTables(bool withData)
{
    if (withData) {
        QVERIFY(testfiles::copyTestData(QStringLiteral("artistwindow/songs.txt"), folderFile(SongFile)));
        QVERIFY(testfiles::copyTestData(QStringLiteral("artistwindow/genres.txt"), folderFile(GenreFile)));
    }
    ReadTables read = TablesReading(QDir(m_dir->path())).finish();
    QVERIFY(read.results.songs.ok());
    m_tables = std::make_unique<SharedTables>(std::move(read));
}

void TestSongEntryWindow::openWindow(SongEntryMode mode)
{
    m_window = new SongEntryWindow(
        *m_tables, mode, [this] { return m_artist; }, TopLeft);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestSongEntryWindow::fill(const QString &title, const QString &genre, const QString &count)
{
    textBox("txtKyokumei")->setText(title);
    textBox("txtHira")->setText(QStringLiteral("ゆき"));
    choiceBox("cboJanru")->setEditText(genre);
    choiceBox("cboShout")->setEditText(QStringLiteral("◎"));
    choiceBox("cboHyouka")->setEditText(QStringLiteral("○"));
    textBox("txtKaisu")->setText(count);
}

void TestSongEntryWindow::expectRefusal(const QString &text, const QString &title)
{
    QCOMPARE(m_messages->shown(), QList<ShownMessage>({ { text, title, MessageButtons::Ok, MessageIcon::Warning } }));
    QVERIFY(m_window && m_window->isVisible());
}

void TestSongEntryWindow::placesEveryControl()
{
    loadTables();
    openWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("曲データ登録"));
    QCOMPARE(m_window->pos(), TopLeft);
    struct Place
    {
        const char *name;
        int left, top, width, height;
    };
    const Place places[] = {
        { "Label1_1", 75, 75, 1410, 375 },
        { "txtKyokumei", 1500, 75, 5280, 375 },
        { "Label1_2", 75, 525, 1410, 375 },
        { "txtHira", 1500, 525, 5280, 375 },
        { "Label1_3", 75, 975, 1410, 375 },
        { "cboJanru", 1500, 975, 1830, 345 },
        { "Label1_4", 75, 1425, 1410, 375 },
        { "cboShout", 1500, 1425, 1830, 345 },
        { "Label1_5", 75, 1875, 1410, 375 },
        { "cboHyouka", 1500, 1875, 1830, 345 },
        { "Label1_0", 75, 2325, 1410, 375 },
        { "txtKaisu", 1500, 2325, 1860, 375 },
        { "cmdHozon", 4800, 1650, 900, 975 },
        { "cmdModori", 5850, 1650, 915, 975 },
    };
    for (const Place &place : places) {
        auto *widget = m_window->findChild<QWidget *>(QLatin1String(place.name));
        QVERIFY2(widget, place.name);
        QCOMPARE(widget->geometry(), twipsRect(place.left, place.top, place.width, place.height));
    }
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Label1_4"))->text(), QStringLiteral("クルーナー度"));
    QCOMPARE(m_window->findChild<QPushButton *>(QStringLiteral("cmdHozon"))->toolTip(),
        QStringLiteral("表示の情報で曲データを保存します"));

    // The tab order runs down the fields.
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    textBox("txtKyokumei")->setFocus();
    const QList<QWidget *> order = { textBox("txtHira"), choiceBox("cboJanru"), choiceBox("cboShout"),
        choiceBox("cboHyouka"), textBox("txtKaisu") };
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(next == QApplication::focusWidget() || next->isAncestorOf(QApplication::focusWidget()));
    }
}

void TestSongEntryWindow::opensBlankWithTheChoices()
{
    loadTables();
    openWindow(SongEntryMode::NewSong);
    for (const char *name : { "txtKyokumei", "txtHira", "txtKaisu" })
        QVERIFY(textBox(name)->text().isEmpty());
    for (const char *name : { "cboJanru", "cboShout", "cboHyouka" }) {
        QVERIFY(choiceBox(name)->isEditable());
        QVERIFY(choiceBox(name)->currentText().isEmpty());
    }
    QCOMPARE(comboItems(choiceBox("cboJanru")), QStringList({ "ポップス", "演歌", "", "ロック" }));
    QCOMPARE(comboItems(choiceBox("cboShout")), QStringList({ "◎", "○", "－" }));
    QCOMPARE(comboItems(choiceBox("cboHyouka")), QStringList({ "◎", "○", "×" }));
}

void TestSongEntryWindow::genresAreReadAtEachOpening()
{
    loadTables(false);
    openWindow();
    QCOMPARE(choiceBox("cboJanru")->count(), 0);
    delete m_window;

    QVERIFY(testfiles::writeBytes(folderFile(GenreFile), QByteArray("\x89\x89\x89\xcc\r\n")));
    openWindow();
    QCOMPARE(comboItems(choiceBox("cboJanru")), QStringList({ "演歌" }));
}

void TestSongEntryWindow::fillsFromTheLowestSlotWithTheTitle()
{
    loadTables();
    openWindow(SongEntryMode::ExistingSong);
    m_window->fillFromSong(QStringLiteral("海"));
    QCOMPARE(textBox("txtKyokumei")->text(), QStringLiteral("海"));
    QCOMPARE(textBox("txtHira")->text(), QStringLiteral("うみ"));
    QCOMPARE(choiceBox("cboJanru")->currentText(), QStringLiteral("演歌"));
    QCOMPARE(choiceBox("cboShout")->currentText(), QStringLiteral("○"));
    QCOMPARE(choiceBox("cboHyouka")->currentText(), QStringLiteral("×"));
    QCOMPARE(textBox("txtKaisu")->text(), QStringLiteral("12"));

    // An unknown title changes the title box only.
    m_window->fillFromSong(QStringLiteral("海 "));
    QCOMPARE(textBox("txtKyokumei")->text(), QStringLiteral("海 "));
    QCOMPARE(textBox("txtHira")->text(), QStringLiteral("うみ"));
    QCOMPARE(textBox("txtKaisu")->text(), QStringLiteral("12"));
}

void TestSongEntryWindow::saveAddsTheSongAndCloses()
{
    loadTables();
    openWindow();
    QSignalSpy saved(m_window.data(), &SongEntryWindow::songSaved);
    fill(QStringLiteral("雪"), QStringLiteral("演歌"), QStringLiteral("2"));
    // The artist is the one the artist window shows when saving, not when opening.
    m_artist = QStringLiteral("加藤");
    save();
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(saved.count(), 1);
    QVERIFY(!m_window || !m_window->isVisible());
    QCOMPARE(readBytes(folderFile(SongFile)), testfiles::testData(QStringLiteral("artistwindow/songs-with-yuki.txt")));
    QCOMPARE(m_tables->songs().songCount(), 7);
    QCOMPARE(readBytes(folderFile(GenreFile)), testfiles::testData(QStringLiteral("artistwindow/genres.txt")));
}

void TestSongEntryWindow::countIsRoundedHalfToEven_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("2.5") << "2.5" << 2;
    QTest::newRow("3.5") << "3.5" << 4;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("number then text") << "7回" << 7;
    QTest::newRow("lowest half") << "-32768.5" << -32768;
    QTest::newRow("highest") << "32767.4" << 32767;
}

void TestSongEntryWindow::countIsRoundedHalfToEven()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    loadTables();
    openWindow();
    fill(QStringLiteral("雪"), QString(), typed);
    save();
    QVERIFY(m_messages->shown().isEmpty());
    const std::optional<int> slot = m_tables->songs().findSongByTitle(QStringLiteral("雪"));
    QVERIFY(slot);
    QCOMPARE(int(m_tables->songs().song(*slot).singCount), stored);
}

void TestSongEntryWindow::badCountIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("text") << "abc";
    QTest::newRow("blank") << " ";
    QTest::newRow("full-width digits") << "３";
    QTest::newRow("rounds above") << "32767.5";
    QTest::newRow("below") << "-32769";
    QTest::newRow("exponent") << "1e6";
}

void TestSongEntryWindow::badCountIsRefused()
{
    QFETCH(QString, typed);
    loadTables();
    openWindow();
    const QByteArray before = readBytes(folderFile(SongFile));
    QSignalSpy saved(m_window.data(), &SongEntryWindow::songSaved);
    fill(QStringLiteral("雪"), QString(), typed);
    save();
    expectRefusal(
        QStringLiteral("回数は−３２７６８から３２７６７までの数字で入力してください"), QStringLiteral("入力エラー"));
    QCOMPARE(readBytes(folderFile(SongFile)), before);
    QCOMPARE(saved.count(), 0);
}

void TestSongEntryWindow::unstorableTextIsRefused_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("message");
    const QString quote = QStringLiteral("引用符（\"）は使えません");
    QTest::newRow("quote in title") << "a\"b"
                                    << ""
                                    << "加藤" << quote;
    QTest::newRow("quote in genre") << "雪"
                                    << "\""
                                    << "加藤" << quote;
    QTest::newRow("quote in artist") << "雪"
                                     << ""
                                     << "加\"藤" << quote;
    QTest::newRow("unencodable") << "雪"
                                 << "ポップ😀"
                                 << "加藤"
                                 << "「😀」は保存できない文字です";
}

void TestSongEntryWindow::unstorableTextIsRefused()
{
    QFETCH(QString, title);
    QFETCH(QString, genre);
    QFETCH(QString, artist);
    QFETCH(QString, message);
    loadTables();
    openWindow();
    const QByteArray before = readBytes(folderFile(SongFile));
    m_artist = artist;
    fill(title, genre, QStringLiteral("1"));
    save();
    expectRefusal(message, QStringLiteral("入力エラー"));
    QCOMPARE(readBytes(folderFile(SongFile)), before);
}

void TestSongEntryWindow::a1001stSongIsRefused()
{
    QByteArray full;
    for (int i = 1; i <= 1000; ++i)
        full += QStringLiteral("\"t%1\",\"r%1\",\"a\",\"\",\"\",\"\",0\r\n").arg(i, 4, 10, QLatin1Char('0')).toLatin1();
    QVERIFY(testfiles::writeBytes(folderFile(SongFile), full));
    loadTables(false);
    openWindow();
    fill(QStringLiteral("雪"), QString(), QStringLiteral("1"));
    save();
    expectRefusal(QStringLiteral("登録できるのは１０００曲までです"), QStringLiteral("登録上限"));
    QCOMPARE(readBytes(folderFile(SongFile)), full);
}

void TestSongEntryWindow::failedWriteKeepsTheWindowOpen()
{
    loadTables(false);
    openWindow();
    QSignalSpy saved(m_window.data(), &SongEntryWindow::songSaved);
    // A folder where the file should be cannot be replaced by a file.
    QVERIFY(QDir(m_dir->path()).mkdir(SongFile));
    fill(QStringLiteral("雪"), QString(), QStringLiteral("1"));
    save();
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().title, QStringLiteral("保存エラー"));
    QCOMPARE(saved.count(), 0);
    QVERIFY(m_window && m_window->isVisible());
}

void TestSongEntryWindow::returnSavesNothing()
{
    loadTables();
    openWindow();
    const QByteArray before = readBytes(folderFile(SongFile));
    QSignalSpy saved(m_window.data(), &SongEntryWindow::songSaved);
    fill(QStringLiteral("雪"), QStringLiteral("演歌"), QStringLiteral("1"));
    // Return in a field is no save either.
    QTest::keyClick(textBox("txtKaisu"), Qt::Key_Return);
    QVERIFY(m_window->isVisible());
    auto *back = m_window->findChild<QPushButton *>(QStringLiteral("cmdModori"));
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(m_messages->shown(),
        QList<ShownMessage>({ { "入力中の曲データは保存されていません。", "未保存の曲データ", MessageButtons::Choices,
            MessageIcon::Question, { "保存", "破棄", "キャンセル" }, 2, 2 } }));
    QVERIFY(m_window->isVisible());
    m_messages->queueChoice(1);
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(!m_window || !m_window->isVisible());
    QCOMPARE(saved.count(), 0);
    QCOMPARE(readBytes(folderFile(SongFile)), before);
    QCOMPARE(m_tables->songs().songCount(), 6);
}

QTEST_MAIN(TestSongEntryWindow)
#include "test_song_entry_window.moc"
