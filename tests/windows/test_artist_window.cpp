#include "tables/SharedTables.h"
#include "tests/support/ScriptedMessages.h"
#include "tests/support/TestFiles.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Twips.h"
#include "windows/ArtistWindow.h"
#include "windows/SongEntryWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QString ArtistFile = QStringLiteral("アーティスト.txt");
const QString SongFile = QStringLiteral("曲目.txt");

using testfiles::readBytes;

QList<SongEntryWindow *> openSongWindows()
{
    QList<SongEntryWindow *> open;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<SongEntryWindow *>(widget); window && window->isVisible())
            open.append(window);
    }
    return open;
}

/// Types text into a focused box as an input method would commit it.
void typeText(QWidget *box, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
}

} // namespace

class TestArtistWindow : public QObject
{
    Q_OBJECT

private:
    void openWindow(bool withData = true);
    QString folderFile(const QString &name) const { return m_dir->filePath(name); }
    template <typename T> T *control(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    QString lblKen() const { return control<QLabel>("lblKen")->text(); }
    QString caption() const { return control<QGroupBox>("fraNamae")->title(); }
    QString shownName() const { return control<QLineEdit>("txtKasyu")->text(); }
    bool gridCovered() const { return !control<QFrame>("pnlHide")->isHidden(); }
    QStringList listed() const;
    QStringList gridRow(int row) const;
    void moveTo(int position) { control<QScrollBar>("hsbKasyu")->setValue(position); }
    void click(const char *button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    void clickListed(const QString &name);
    void clickGridRow(int row);
    void typeArtist(const QString &name, const QString &reading);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<ScriptedMessages> m_messages;
    QPointer<ArtistWindow> m_window;

private Q_SLOTS:
    void init();
    void cleanup();

    void placesEveryControl();
    void opensOnTheFirstArtistWithAllListed();
    void pagingShowsEachArtistsSongs();
    void kanaFilterListsExactInitialsOnly();
    void typingInAKanaBoxDoesNotFilter();
    void listSelectionMovesThePosition();
    void emptyCatalogueStaysOnPositionOne();
    void newArtistEmptiesTheBoxes();
    void registrationRefusals_data();
    void registrationRefusals();
    void registrationRefusesA501stArtist();
    void cancelChangesNothing();
    void registrationEndsOnTheLastPosition();
    void firstArtistOfAnEmptyCatalogue();
    void songButtonOpensOneBlankSongWindow();
    void gridClickPrefillsFromTheLowestSlot();
    void savedSongRefreshesTheGrid();
    void closingClosesTheSongWindow();
};

void TestArtistWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = std::make_unique<ScriptedMessages>();
}

void TestArtistWindow::cleanup()
{
    delete m_window;
    m_messages.reset();
    m_tables.reset();
    m_dir.reset();
}

void TestArtistWindow::openWindow(bool withData)
{
    if (withData) {
        QVERIFY(testfiles::copyTestData(QStringLiteral("artistwindow/artists.txt"), folderFile(ArtistFile)));
        QVERIFY(testfiles::copyTestData(QStringLiteral("artistwindow/songs.txt"), folderFile(SongFile)));
        QVERIFY(testfiles::copyTestData(
            QStringLiteral("artistwindow/genres.txt"), folderFile(QStringLiteral("ジャンル.txt"))));
    }
    ReadTables read = TablesReading(QDir(m_dir->path())).finish();
    QVERIFY(read.results.artists.ok() && read.results.songs.ok());
    m_tables = std::make_unique<SharedTables>(std::move(read));
    m_window = new ArtistWindow(*m_tables);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

QStringList TestArtistWindow::listed() const
{
    QStringList names;
    auto *list = control<QListWidget>("lstKasyu");
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    return names;
}

QStringList TestArtistWindow::gridRow(int row) const
{
    auto *grid = control<FlexGrid>("MsgKyoku");
    QStringList cells;
    for (int col = 0; col < grid->cols(); ++col)
        cells.append(grid->textAt(row, col));
    return cells;
}

void TestArtistWindow::clickListed(const QString &name)
{
    auto *list = control<QListWidget>("lstKasyu");
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

void TestArtistWindow::clickGridRow(int row)
{
    auto *grid = control<FlexGrid>("MsgKyoku");
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void TestArtistWindow::typeArtist(const QString &name, const QString &reading)
{
    click("cmdNew");
    control<QLineEdit>("txtKasyu")->setText(name);
    control<QLineEdit>("txtHira")->setText(reading);
}

void TestArtistWindow::placesEveryControl()
{
    openWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("アーティストデータ"));
    QCOMPARE(m_window->size(), QSize(twipsToPixels(9435), twipsToPixels(6750)));

    struct Place
    {
        const char *name, *container;
        int left, top, width, height;
    };
    const Place places[] = {
        { "fraNamae", "frmKashu", 75, 150, 9255, 6510 },
        { "cmdNew", "fraNamae", 150, 270, 675, 855 },
        { "cmdTouroku", "fraNamae", 855, 270, 675, 855 },
        { "cmdModori", "fraNamae", 1575, 270, 675, 855 },
        { "Frame2", "fraNamae", 2325, 150, 6825, 675 },
        { "cmdAll", "Frame2", 6075, 225, 615, 330 },
        { "hsbKasyu", "fraNamae", 2325, 900, 5565, 240 },
        { "lblKen", "fraNamae", 7950, 900, 1095, 195 },
        { "lstKasyu", "fraNamae", 150, 1350, 2895, 5010 },
        { "Frame1", "fraNamae", 3150, 1200, 6000, 5190 },
        { "Label1_0", "Frame1", 150, 225, 1305, 350 },
        { "txtKasyu", "Frame1", 1500, 225, 3390, 350 },
        { "Label1_1", "Frame1", 150, 625, 1305, 350 },
        { "txtHira", "Frame1", 1500, 625, 3390, 350 },
        { "cmdTuika", "Frame1", 5025, 225, 870, 810 },
        { "MsgKyoku", "Frame1", 150, 1125, 5730, 3825 },
        { "pnlHide", "Frame1", 150, 1050, 5715, 3990 },
    };
    for (const Place &place : places) {
        auto *widget = control<QWidget>(place.name);
        QVERIFY2(widget, place.name);
        QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(place.container));
        QCOMPARE(widget->geometry(), twipsRect(place.left, place.top, place.width, place.height));
    }

    const QStringList captions = { "新規", "登録", "戻る" };
    const char *buttons[] = { "cmdNew", "cmdTouroku", "cmdModori" };
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(control<QToolButton>(buttons[i])->text(), captions[i]);
        QVERIFY(!control<QToolButton>(buttons[i])->icon().isNull());
    }
    QCOMPARE(control<QToolButton>("cmdTuika")->text(), QStringLiteral("曲登録"));
    QCOMPARE(control<QPushButton>("cmdAll")->text(), QStringLiteral("全部"));
    QCOMPARE(control<QListWidget>("lstKasyu")->toolTip(), QStringLiteral("クリックすると曲リストを表示します"));

    auto *artistLabel = control<QLabel>("Label1_0");
    QCOMPARE(artistLabel->text(), QStringLiteral("アーティスト"));
    QCOMPARE(artistLabel->palette().color(QPalette::Window), QColor(0, 0, 128));
    QCOMPARE(artistLabel->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(control<QLabel>("Label1_1")->palette().color(QPalette::Window), QColor(128, 0, 0));
    QCOMPARE(artistLabel->font().family(), MsPGothic);
    QCOMPARE(artistLabel->font().pointSizeF(), 11.25);
    QCOMPARE(control<FlexGrid>("MsgKyoku")->font().pointSizeF(), 9.0);

    const QStringList firstKana = { "あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ" };
    const int itemCounts[] = { 5, 10, 10, 10, 5, 15, 5, 3, 5, 3 };
    const QColor colours[] = { { 0, 0, 128 }, { 0, 0, 255 }, { 0, 128, 128 }, { 0, 128, 0 }, { 128, 128, 0 },
        { 128, 0, 128 }, { 128, 0, 0 }, { 255, 0, 0 }, { 255, 0, 255 }, { 0, 0, 0 } };
    for (int i = 0; i < 10; ++i) {
        auto *box = control<QComboBox>(QStringLiteral("cboHira%1").arg(i).toLatin1().constData());
        QVERIFY(box);
        QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("Frame2"));
        QCOMPARE(box->geometry().topLeft(), twipsRect(120 + 585 * i, 210, 600, 0).topLeft());
        QCOMPARE(box->width(), twipsToPixels(600));
        QVERIFY(box->isEditable());
        QCOMPARE(box->currentText(), firstKana[i]);
        QCOMPARE(box->count(), itemCounts[i]);
        QCOMPARE(box->palette().color(QPalette::Base), colours[i]);
        QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::white));
    }
    QCOMPARE(control<QComboBox>("cboHira5")->itemText(14), QStringLiteral("ぽ"));

    auto *grid = control<FlexGrid>("MsgKyoku");
    QCOMPARE(gridRow(0), QStringList({ "№", "曲名", "ｼﾞｬﾝﾙ", "叫", "評", "回" }));
    const int widths[] = { 380, 3025, 1000, 300, 300, 380 };
    for (int col = 0; col < 6; ++col)
        QCOMPARE(grid->horizontalHeader()->sectionSize(col), twipsToPixels(widths[col]));
}

void TestArtistWindow::opensOnTheFirstArtistWithAllListed()
{
    openWindow();
    QCOMPARE(caption(), QStringLiteral("登録 8 / 8"));
    QCOMPARE(listed().first(), QStringLiteral("ABC"));
    QCOMPARE(listed().size(), 8);
    QCOMPARE(lblKen(), QStringLiteral("1 / 8"));
    QCOMPARE(shownName(), QStringLiteral("ABC"));
    QCOMPARE(control<QLineEdit>("txtHira")->text(), QStringLiteral("abc"));
    QVERIFY(gridCovered());
    QCOMPARE(control<QScrollBar>("hsbKasyu")->maximum(), 8);
}

void TestArtistWindow::pagingShowsEachArtistsSongs()
{
    openWindow();
    moveTo(3);
    QCOMPARE(shownName(), QStringLiteral("加藤"));
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
    QVERIFY(!gridCovered());
    // The song whose artist is "加藤 " with a trailing space belongs to someone else.
    auto *grid = control<FlexGrid>("MsgKyoku");
    QCOMPARE(grid->rows(), 4);
    QCOMPARE(gridRow(1), QStringList({ "1", "愛", "ポップス", "◎", "○", "3" }));
    QCOMPARE(gridRow(2), QStringList({ "2", "海", "ジャズ", "○", "○", "7" }));
    QCOMPARE(gridRow(3), QStringList({ "3", "風", "ロック", "－", "◎", "0" }));

    // No songs: the panel covers the grid, which keeps the earlier rows underneath.
    moveTo(4);
    QCOMPARE(shownName(), QStringLiteral("学園"));
    QVERIFY(gridCovered());
    QCOMPARE(grid->rows(), 4);

    moveTo(2);
    QVERIFY(!gridCovered());
    QCOMPARE(grid->rows(), 3);
    QCOMPARE(gridRow(2), QStringList({ "2", "空", "ポップス", "◎", "◎", "-3" }));

    control<QScrollBar>("hsbKasyu")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));

    // By keys as well: Tab from 全部 reaches the bar, Left steps back, Right on.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    control<QWidget>("cmdAll")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control<QScrollBar>("hsbKasyu"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(lblKen(), QStringLiteral("2 / 8"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
}

void TestArtistWindow::kanaFilterListsExactInitialsOnly()
{
    openWindow();
    moveTo(3);
    auto *kaBox = control<QComboBox>("cboHira1");
    kaBox->setFocus();
    // The arrow keys step from か through き く け こ to が, filtering at each step.
    QTest::keyClick(kaBox, Qt::Key_Down);
    QCOMPARE(kaBox->currentText(), QStringLiteral("き"));
    QCOMPARE(listed(), QStringList({ "岸" }));
    QCOMPARE(caption(), QStringLiteral("登録 1 / 8"));
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(kaBox, Qt::Key_Down);
    QCOMPARE(kaBox->currentText(), QStringLiteral("が"));
    QCOMPARE(listed(), QStringList({ "学園", "我妻" }));
    QCOMPARE(caption(), QStringLiteral("登録 2 / 8"));
    // The filter touches neither the position nor the grid.
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
    QCOMPARE(shownName(), QStringLiteral("加藤"));
    QVERIFY(!gridCovered());

    // Back at か: the voiced initials are not listed with it.
    for (int step = 0; step < 5; ++step)
        QTest::keyClick(kaBox, Qt::Key_Up);
    QCOMPARE(kaBox->currentText(), QStringLiteral("か"));
    QCOMPARE(listed(), QStringList({ "加藤" }));

    auto *aBox = control<QComboBox>("cboHira0");
    aBox->setFocus();
    QTest::keyClick(aBox, Qt::Key_Down);
    QCOMPARE(aBox->currentText(), QStringLiteral("い"));
    QVERIFY(listed().isEmpty());
    QCOMPARE(caption(), QStringLiteral("登録 0 / 8"));

    // Katakana and Latin readings are reached only through the whole list.
    click("cmdAll");
    QCOMPARE(listed().size(), 8);
    QCOMPARE(listed().last(), QStringLiteral("ガガ"));
    QCOMPARE(caption(), QStringLiteral("登録 8 / 8"));
    QCOMPARE(lblKen(), QStringLiteral("1 / 8"));
}

void TestArtistWindow::typingInAKanaBoxDoesNotFilter()
{
    openWindow();
    auto *kaBox = control<QComboBox>("cboHira1");
    kaBox->setFocus();
    kaBox->lineEdit()->selectAll();
    typeText(kaBox->lineEdit(), QStringLiteral("が"));
    QCOMPARE(kaBox->currentText(), QStringLiteral("が"));
    QTest::keyClick(kaBox->lineEdit(), Qt::Key_Return);
    control<QLineEdit>("txtHira")->setFocus();
    QCOMPARE(listed().size(), 8);
    QCOMPARE(kaBox->count(), 10);
}

void TestArtistWindow::listSelectionMovesThePosition()
{
    openWindow();
    clickListed(QStringLiteral("加藤"));
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
    QCOMPARE(shownName(), QStringLiteral("加藤"));

    QTest::keyClick(control<QListWidget>("lstKasyu"), Qt::Key_Down);
    QCOMPARE(shownName(), QStringLiteral("学園"));
    QCOMPARE(lblKen(), QStringLiteral("4 / 8"));

    // Clicking the selected name again returns to it after the scroll bar moved away.
    moveTo(7);
    clickListed(QStringLiteral("学園"));
    QCOMPARE(lblKen(), QStringLiteral("4 / 8"));

    auto *kaBox = control<QComboBox>("cboHira1");
    kaBox->setFocus();
    for (int step = 0; step < 5; ++step)
        QTest::keyClick(kaBox, Qt::Key_Down);
    clickListed(QStringLiteral("我妻"));
    QCOMPARE(lblKen(), QStringLiteral("5 / 8"));
    QCOMPARE(control<QLineEdit>("txtHira")->text(), QStringLiteral("がつま"));
}

void TestArtistWindow::emptyCatalogueStaysOnPositionOne()
{
    openWindow(false);
    auto *scrollBar = control<QScrollBar>("hsbKasyu");
    const auto checkEmptyState = [&] {
        QCOMPARE(scrollBar->value(), 1);
        QCOMPARE(scrollBar->minimum(), 1);
        QCOMPARE(lblKen(), QStringLiteral("1 / 1"));
        QCOMPARE(caption(), QStringLiteral("登録 0 / 0"));
        QVERIFY(shownName().isEmpty());
        QVERIFY(control<QLineEdit>("txtHira")->text().isEmpty());
        QVERIFY(gridCovered());
    };
    checkEmptyState();
    click("cmdAll");
    checkEmptyState();
    scrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    scrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    checkEmptyState();
    control<QComboBox>("cboHira0")->setFocus();
    QTest::keyClick(control<QComboBox>("cboHira0"), Qt::Key_Down);
    QCOMPARE(caption(), QStringLiteral("登録 0 / 0"));
    QCOMPARE(scrollBar->value(), 1);
}

void TestArtistWindow::newArtistEmptiesTheBoxes()
{
    openWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    moveTo(3);
    click("cmdNew");
    QVERIFY(shownName().isEmpty());
    QVERIFY(control<QLineEdit>("txtHira")->text().isEmpty());
    QVERIFY(gridCovered());
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>("txtKasyu"));

    // A click in the name box empties both boxes again, typed text included.
    control<QLineEdit>("txtKasyu")->setText(QStringLiteral("途中"));
    control<QLineEdit>("txtHira")->setText(QStringLiteral("とちゅう"));
    QTest::mouseClick(control<QLineEdit>("txtKasyu"), Qt::LeftButton);
    QVERIFY(shownName().isEmpty());
    QVERIFY(control<QLineEdit>("txtHira")->text().isEmpty());

    // "全部" away from position 1 shows artist 1; at position 1 it re-shows nothing.
    click("cmdAll");
    QCOMPARE(shownName(), QStringLiteral("ABC"));
    click("cmdNew");
    click("cmdAll");
    QVERIFY(shownName().isEmpty());
    QVERIFY(gridCovered());
}

void TestArtistWindow::registrationRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("no name") << ""
                             << "あ"
                             << "アーティスト名が入力されていません"
                             << "入力無し";
    QTest::newRow("no reading") << "新人"
                                << ""
                                << "ひらかなが入力されていません"
                                << "入力無し";
    QTest::newRow("registered name") << "加藤"
                                     << "べつ"
                                     << "すでに登録済みです。"
                                     << "登録済み";
    QTest::newRow("quote in name") << "a\"b"
                                   << "あ"
                                   << "アーティスト名やひらかなに引用符（\"）は使えません"
                                   << "入力エラー";
    QTest::newRow("quote in reading") << "新人"
                                      << "\""
                                      << "アーティスト名やひらかなに引用符（\"）は使えません"
                                      << "入力エラー";
    QTest::newRow("unencodable") << "新人😀"
                                 << "しんじん"
                                 << "「😀」は保存できない文字です"
                                 << "入力エラー";
}

void TestArtistWindow::registrationRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, reading);
    QFETCH(QString, text);
    QFETCH(QString, title);
    openWindow();
    const QByteArray before = readBytes(folderFile(ArtistFile));
    typeArtist(name, reading);
    click("cmdTouroku");
    QCOMPARE(m_messages->shown(), QList<ShownMessage>({ { text, title, MessageButtons::Ok, MessageIcon::Warning } }));
    QCOMPARE(readBytes(folderFile(ArtistFile)), before);
    QCOMPARE(m_tables->artists().artistCount(), 8);
    QCOMPARE(shownName(), name);
    QCOMPARE(control<QLineEdit>("txtHira")->text(), reading);
}

void TestArtistWindow::registrationRefusesA501stArtist()
{
    QByteArray full;
    for (int i = 1; i <= 500; ++i)
        full += QStringLiteral("\"a%1\",\"a%1\"\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    QVERIFY(testfiles::writeBytes(folderFile(ArtistFile), full));
    openWindow(false);
    typeArtist(QStringLiteral("新人"), QStringLiteral("しんじん"));
    click("cmdTouroku");
    QCOMPARE(m_messages->shown(),
        QList<ShownMessage>(
            { { "登録できるのは５００名までです", "登録上限", MessageButtons::Ok, MessageIcon::Warning } }));
    QCOMPARE(readBytes(folderFile(ArtistFile)), full);
}

void TestArtistWindow::cancelChangesNothing()
{
    openWindow();
    const QByteArray before = readBytes(folderFile(ArtistFile));
    // A trailing space makes a different name, so this reaches the confirmation.
    typeArtist(QStringLiteral("加藤 "), QStringLiteral("かとう"));
    m_messages->queueAnswer(MessageAnswer::Cancel);
    click("cmdTouroku");
    QCOMPARE(m_messages->shown(),
        QList<ShownMessage>(
            { { "『 加藤  』を登録します", "登録確認", MessageButtons::OkCancel, MessageIcon::Information } }));
    QCOMPARE(readBytes(folderFile(ArtistFile)), before);
    QCOMPARE(m_tables->artists().artistCount(), 8);
    QCOMPARE(shownName(), QStringLiteral("加藤 "));
    QCOMPARE(caption(), QStringLiteral("登録 8 / 8"));
}

void TestArtistWindow::registrationEndsOnTheLastPosition()
{
    openWindow();
    moveTo(3);
    typeArtist(QStringLiteral("相田"), QStringLiteral("あいだ"));
    click("cmdTouroku");
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("『 相田 』を登録します"));
    QCOMPARE(
        readBytes(folderFile(ArtistFile)), testfiles::testData(QStringLiteral("artistwindow/artists-with-aida.txt")));
    QCOMPARE(caption(), QStringLiteral("登録 9 / 9"));
    QCOMPARE(listed().at(1), QStringLiteral("相田"));
    // The new reading sorts early, so the window ends on the artist that sorts last.
    QCOMPARE(lblKen(), QStringLiteral("9 / 9"));
    QCOMPARE(shownName(), QStringLiteral("ガガ"));
}

void TestArtistWindow::firstArtistOfAnEmptyCatalogue()
{
    openWindow(false);
    typeArtist(QStringLiteral("新人"), QStringLiteral("しんじん"));
    click("cmdTouroku");
    QCOMPARE(m_tables->artists().artistCount(), 1);
    QCOMPARE(caption(), QStringLiteral("登録 1 / 1"));
    QCOMPARE(lblKen(), QStringLiteral("1 / 1"));
    QCOMPARE(shownName(), QStringLiteral("新人"));
    QCOMPARE(control<QLineEdit>("txtHira")->text(), QStringLiteral("しんじん"));
    QCOMPARE(
        readBytes(folderFile(ArtistFile)), QByteArray("\"\x90\x56\x90\x6c\",\"\x82\xb5\x82\xf1\x82\xb6\x82\xf1\"\r\n"));
}

void TestArtistWindow::songButtonOpensOneBlankSongWindow()
{
    openWindow();
    moveTo(3);
    click("cmdTuika");
    QCOMPARE(openSongWindows().size(), 1);
    SongEntryWindow *songWindow = openSongWindows().first();
    QCOMPARE(songWindow->pos(), m_window->pos());
    auto *title = songWindow->findChild<QLineEdit *>(QStringLiteral("txtKyokumei"));
    QVERIFY(title->text().isEmpty());
    QVERIFY(songWindow->findChild<QComboBox *>(QStringLiteral("cboShout"))->currentText().isEmpty());

    // Pressed again: the same window comes forward with what was typed.
    title->setText(QStringLiteral("途中"));
    click("cmdTuika");
    QCOMPARE(openSongWindows(), QList<SongEntryWindow *>({ songWindow }));
    QCOMPARE(title->text(), QStringLiteral("途中"));
}

void TestArtistWindow::gridClickPrefillsFromTheLowestSlot()
{
    openWindow();
    moveTo(3);
    click("cmdTuika");
    // 加藤's "海" is in a higher slot than 阿部's "海", whose data the lookup by title finds.
    clickGridRow(2);
    QCOMPARE(openSongWindows().size(), 1);
    SongEntryWindow *songWindow = openSongWindows().first();
    const auto text = [&](const char *name) {
        if (auto *box = songWindow->findChild<QComboBox *>(QLatin1String(name)))
            return box->currentText();
        return songWindow->findChild<QLineEdit *>(QLatin1String(name))->text();
    };
    QCOMPARE(text("txtKyokumei"), QStringLiteral("海"));
    QCOMPARE(text("txtHira"), QStringLiteral("うみ"));
    QCOMPARE(text("cboJanru"), QStringLiteral("演歌"));
    QCOMPARE(text("cboShout"), QStringLiteral("○"));
    QCOMPARE(text("cboHyouka"), QStringLiteral("×"));
    QCOMPARE(text("txtKaisu"), QStringLiteral("12"));

    // Opened straight from the grid as well, and overwritten by a further click.
    songWindow->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(openSongWindows().isEmpty());
    clickGridRow(3);
    QCOMPARE(openSongWindows().size(), 1);
    songWindow = openSongWindows().first();
    QCOMPARE(text("txtKyokumei"), QStringLiteral("風"));
    QCOMPARE(text("cboShout"), QStringLiteral("－"));
    clickGridRow(1);
    QCOMPARE(openSongWindows(), QList<SongEntryWindow *>({ songWindow }));
    QCOMPARE(text("txtKyokumei"), QStringLiteral("愛"));
    QCOMPARE(text("txtKaisu"), QStringLiteral("3"));
}

void TestArtistWindow::savedSongRefreshesTheGrid()
{
    openWindow();
    moveTo(3);
    QSignalSpy saved(m_tables.get(), &SharedTables::changed);
    click("cmdTuika");
    SongEntryWindow *songWindow = openSongWindows().first();
    songWindow->findChild<QLineEdit *>(QStringLiteral("txtKyokumei"))->setText(QStringLiteral("雪"));
    songWindow->findChild<QLineEdit *>(QStringLiteral("txtHira"))->setText(QStringLiteral("ゆき"));
    songWindow->findChild<QComboBox *>(QStringLiteral("cboJanru"))->setEditText(QStringLiteral("演歌"));
    songWindow->findChild<QComboBox *>(QStringLiteral("cboShout"))->setEditText(QStringLiteral("◎"));
    songWindow->findChild<QComboBox *>(QStringLiteral("cboHyouka"))->setEditText(QStringLiteral("○"));
    songWindow->findChild<QLineEdit *>(QStringLiteral("txtKaisu"))->setText(QStringLiteral("2"));
    QTest::mouseClick(songWindow->findChild<QPushButton *>(QStringLiteral("cmdHozon")), Qt::LeftButton);

    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(saved.count(), 1);
    QVERIFY(openSongWindows().isEmpty());
    QCOMPARE(readBytes(folderFile(SongFile)), testfiles::testData(QStringLiteral("artistwindow/songs-with-yuki.txt")));
    QCOMPARE(lblKen(), QStringLiteral("3 / 8"));
    QCOMPARE(control<FlexGrid>("MsgKyoku")->rows(), 5);
    QCOMPARE(gridRow(4), QStringList({ "4", "雪", "演歌", "◎", "○", "2" }));
}

void TestArtistWindow::closingClosesTheSongWindow()
{
    openWindow();
    click("cmdTuika");
    QPointer<SongEntryWindow> songWindow = openSongWindows().first();
    click("cmdModori");
    QVERIFY(!m_window->isVisible());
    QVERIFY(!songWindow || !songWindow->isVisible());
    delete m_window;
    QVERIFY(songWindow.isNull());
}

QTEST_MAIN(TestArtistWindow)
#include "test_artist_window.moc"
