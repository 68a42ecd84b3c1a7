#include "windows/SortWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/FlexGrid.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestSortWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithCatalogueInOrder();
    void optionsSortTheirColumnCarryingWholeRows_data();
    void optionsSortTheirColumnCarryingWholeRows();
    void titleRestoresCatalogueOrderAfterArtist();
    void titleAgainReReadsTheCatalogue();
    void emptyCatalogueStaysEmpty();
    void periodSearchCountsInOrderOfFirstOccurrence();
    void runEndsAtCurrentItem_data();
    void runEndsAtCurrentItem();
    void runWithoutSongsLeavesHeaderOnly();

private:
    void addSong(const QString &title, const QString &reading, const QString &artist, qint16 singCount = 0,
        const QString &genre = {}, const QString &shout = {}, const QString &rating = {});
    void addOuting(const QString &date, const QStringList &titles, const QStringList &artists = {});
    SortWindow *openWindow();
    FlexGrid *grid(const char *name) const { return m_window->findChild<FlexGrid *>(name); }
    void clickOption(int index);
    void clickSearch();
    void selectDates(const QList<int> &items, int current);
    QStringList column(const char *gridName, int col) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<SortWindow> m_window;
};

void TestSortWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_tables = std::make_unique<SharedTables>(TablesReading(QDir(m_dir->path())).finish());
}

void TestSortWindow::cleanup()
{
    m_window.reset();
    m_tables.reset();
    m_dir.reset();
}

void TestSortWindow::addSong(const QString &title, const QString &reading, const QString &artist, qint16 singCount,
    const QString &genre, const QString &shout, const QString &rating)
{
    const SongRecord song { title, reading, artist, genre, shout, rating, singCount };
    QVERIFY(m_tables->addSong(song).ok());
}

void TestSortWindow::addOuting(const QString &date, const QStringList &titles, const QStringList &artists)
{
    DiaryEntry entry;
    entry.date = date;
    entry.duration = QStringLiteral("2");
    entry.place = QStringLiteral("駅前");
    entry.members = { QStringLiteral("佐藤") };
    entry.songTitles = titles;
    for (int i = 0; i < titles.size(); ++i)
        entry.songArtists.append(i < artists.size() ? artists[i] : QStringLiteral("歌手%1").arg(titles[i]));
    QVERIFY(m_tables->registerOuting(0, entry, -1).ok());
}

SortWindow *TestSortWindow::openWindow()
{
    m_window = std::make_unique<SortWindow>(*m_tables);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestSortWindow::clickOption(int index)
{
    auto *option = m_window->findChild<QRadioButton *>(QStringLiteral("optSort%1").arg(index));
    QVERIFY(option);
    // Near the right end, past most captions: the whole box takes the click.
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(option->width() - 2, option->height() / 2));
    QVERIFY(option->isChecked());
}

void TestSortWindow::clickSearch()
{
    auto *button = m_window->findChild<QPushButton *>(QStringLiteral("cmdKikan"));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestSortWindow::selectDates(const QList<int> &items, int current)
{
    auto *list = m_window->findChild<QListWidget *>(QStringLiteral("lstDate"));
    QVERIFY(list);
    QItemSelectionModel *selection = list->selectionModel();
    selection->clearSelection();
    for (int item : items)
        selection->select(list->model()->index(item, 0), QItemSelectionModel::Select);
    selection->setCurrentIndex(list->model()->index(current, 0), QItemSelectionModel::NoUpdate);
}

QStringList TestSortWindow::column(const char *gridName, int col) const
{
    const FlexGrid *g = grid(gridName);
    QStringList texts;
    for (int row = 1; row < g->rows(); ++row)
        texts.append(g->textAt(row, col));
    return texts;
}

void TestSortWindow::opensWithCatalogueInOrder()
{
    addSong(QStringLiteral("春の歌"), QStringLiteral("はる"), QStringLiteral("歌手B"), 3, QStringLiteral("ポップス"),
        QStringLiteral("◎"), QStringLiteral("○"));
    addSong(QStringLiteral("秋の歌"), QStringLiteral("あき"), QStringLiteral("歌手A"), 12);
    addOuting(QStringLiteral("2024/05/01"), { QStringLiteral("春の歌") });
    addOuting(QStringLiteral("2024/03/01"), {});
    QVERIFY(openWindow());

    QCOMPARE(m_window->windowTitle(), QStringLiteral("並び替えリスト"));
    const FlexGrid *songs = grid("msgKyoku2");
    QCOMPARE(songs->cols(), 7);
    const QStringList songHeaders { "№", "曲名", "アーティスト名", "ジャンル", "叫", "評", "回" };
    for (int col = 0; col < 7; ++col)
        QCOMPARE(songs->textAt(0, col), songHeaders[col]);
    QCOMPARE(songs->rows(), 3);
    const QStringList first { "1", "秋の歌", "歌手A", "", "", "", "12" };
    const QStringList second { "2", "春の歌", "歌手B", "ポップス", "◎", "○", "3" };
    for (int col = 0; col < 7; ++col) {
        QCOMPARE(songs->textAt(1, col), first[col]);
        QCOMPARE(songs->textAt(2, col), second[col]);
    }

    const FlexGrid *period = grid("msgKyoku");
    QCOMPARE(period->cols(), 4);
    QCOMPARE(period->rows(), 1);
    const QStringList periodHeaders { "№", "曲名", "アーティスト", "回" };
    for (int col = 0; col < 4; ++col)
        QCOMPARE(period->textAt(0, col), periodHeaders[col]);

    // Dates stay in book order, not sorted.
    auto *dates = m_window->findChild<QListWidget *>(QStringLiteral("lstDate"));
    QCOMPARE(dates->count(), 2);
    QCOMPARE(dates->item(0)->text(), QStringLiteral("2024/05/01"));
    QCOMPARE(dates->item(1)->text(), QStringLiteral("2024/03/01"));
    QCOMPARE(dates->selectionMode(), QAbstractItemView::ExtendedSelection);

    for (int index = 0; index < 6; ++index)
        QVERIFY(!m_window->findChild<QRadioButton *>(QStringLiteral("optSort%1").arg(index))->isChecked());
}

void TestSortWindow::optionsSortTheirColumnCarryingWholeRows_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("values"); // in catalogue order
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("artist") << 1 << 2 << QStringList { "B", "C", "A" } << QStringList { "A", "B", "C" };
    QTest::newRow("genre") << 2 << 3 << QStringList { "ポップス", "演歌", "アニメ" }
                           << QStringList { "アニメ", "ポップス", "演歌" };
    QTest::newRow("shout marks by code page bytes")
        << 3 << 4 << QStringList { "－", "◎", "×", "○" } << QStringList { "◎", "○", "×", "－" };
    QTest::newRow("rating marks by code page bytes")
        << 4 << 5 << QStringList { "×", "－", "○", "◎" } << QStringList { "◎", "○", "×", "－" };
    QTest::newRow("count as number") << 5 << 6 << QStringList { "9", "10", "2" } << QStringList { "10", "9", "2" };
}

void TestSortWindow::optionsSortTheirColumnCarryingWholeRows()
{
    QFETCH(int, option);
    QFETCH(int, col);
    QFETCH(QStringList, values);
    QFETCH(QStringList, expected);

    for (int i = 0; i < values.size(); ++i) {
        const QString &v = values[i];
        const QString title = QStringLiteral("曲%1").arg(i + 1);
        const QString reading = QStringLiteral("よみ%1").arg(i + 1);
        addSong(title, reading, col == 2 ? v : QStringLiteral("歌手"), col == 6 ? qint16(v.toInt()) : qint16(0),
            col == 3 ? v : QString(), col == 4 ? v : QString(), col == 5 ? v : QString());
    }
    QVERIFY(openWindow());
    clickOption(option);

    QCOMPARE(column("msgKyoku2", col), expected);
    // Each row keeps its own number and title: the song that held value v was catalogue song i + 1.
    QStringList numbers, titles;
    for (const QString &v : expected) {
        const int i = int(values.indexOf(v));
        numbers.append(QString::number(i + 1));
        titles.append(QStringLiteral("曲%1").arg(i + 1));
    }
    QCOMPARE(column("msgKyoku2", 0), numbers);
    QCOMPARE(column("msgKyoku2", 1), titles);
    QCOMPARE(grid("msgKyoku2")->textAt(0, 0), QStringLiteral("№"));
}

void TestSortWindow::titleRestoresCatalogueOrderAfterArtist()
{
    addSong(QStringLiteral("あ"), QStringLiteral("あ"), QStringLiteral("B"));
    addSong(QStringLiteral("い"), QStringLiteral("い"), QStringLiteral("C"));
    addSong(QStringLiteral("う"), QStringLiteral("う"), QStringLiteral("A"));
    QVERIFY(openWindow());

    clickOption(1);
    QCOMPARE(column("msgKyoku2", 0), (QStringList { "3", "1", "2" }));
    clickOption(0);
    QCOMPARE(column("msgKyoku2", 0), (QStringList { "1", "2", "3" }));
    QCOMPARE(column("msgKyoku2", 1), (QStringList { "あ", "い", "う" }));
    QCOMPARE(column("msgKyoku2", 2), (QStringList { "B", "C", "A" }));
}

void TestSortWindow::titleAgainReReadsTheCatalogue()
{
    addSong(QStringLiteral("か"), QStringLiteral("か"), QStringLiteral("A"));
    addSong(QStringLiteral("さ"), QStringLiteral("さ"), QStringLiteral("A"));
    QVERIFY(openWindow());
    clickOption(0);

    // A song registered while the list is open shows only once "曲名" is chosen, even if it is
    // already the checked option.
    addSong(QStringLiteral("き"), QStringLiteral("き"), QStringLiteral("B"));
    QCOMPARE(column("msgKyoku2", 1), (QStringList { "か", "さ" }));
    clickOption(5);
    QCOMPARE(grid("msgKyoku2")->rows(), 3);
    clickOption(0);
    clickOption(0);
    QCOMPARE(column("msgKyoku2", 1), (QStringList { "か", "き", "さ" }));
    QCOMPARE(column("msgKyoku2", 0), (QStringList { "1", "2", "3" }));
}

void TestSortWindow::emptyCatalogueStaysEmpty()
{
    QVERIFY(openWindow());
    for (int index : { 5, 1, 2, 3, 4, 0 }) {
        clickOption(index);
        QCOMPARE(grid("msgKyoku2")->rows(), 1);
    }
}

void TestSortWindow::periodSearchCountsInOrderOfFirstOccurrence()
{
    addOuting(QStringLiteral("2024/01/01"), { "A", "B" }, { "歌手a", "歌手b1" });
    addOuting(QStringLiteral("2024/02/01"), { "B", "C" }, { "歌手b2", "歌手c" });
    QVERIFY(openWindow());

    selectDates({ 0, 1 }, 1);
    clickSearch();

    const FlexGrid *period = grid("msgKyoku");
    QCOMPARE(period->rows(), 4);
    QCOMPARE(column("msgKyoku", 0), (QStringList { "1", "2", "3" }));
    QCOMPARE(column("msgKyoku", 1), (QStringList { "A", "B", "C" }));
    QCOMPARE(column("msgKyoku", 2), (QStringList { "歌手a", "歌手b1", "歌手c" }));
    QCOMPARE(column("msgKyoku", 3), (QStringList { "1", "2", "1" }));
    QCOMPARE(period->textAt(0, 1), QStringLiteral("曲名"));

    // A second search replaces the result rather than adding to it.
    selectDates({ 1 }, 1);
    clickSearch();
    QCOMPARE(column("msgKyoku", 1), (QStringList { "B", "C" }));
    QCOMPARE(column("msgKyoku", 3), (QStringList { "1", "1" }));
}

void TestSortWindow::runEndsAtCurrentItem_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("shift-click 7 then 5") << QList<int> { 5, 6, 7 } << 5 << QStringList { "S3", "S4", "S5" };
    QTest::newRow("ctrl-click 1 then 4") << QList<int> { 1, 4 } << 4 << QStringList { "S3", "S4" };
    QTest::newRow("single date") << QList<int> { 2 } << 2 << QStringList { "S2" };
    QTest::newRow("run reaching above the top") << QList<int> { 0, 1, 2 } << 1 << QStringList { "S0", "S1" };
    QTest::newRow("nothing selected") << QList<int> {} << 3 << QStringList {};
}

void TestSortWindow::runEndsAtCurrentItem()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QStringList, titles);

    for (int k = 0; k < 8; ++k)
        addOuting(QStringLiteral("2024/01/%1").arg(k + 10), { QStringLiteral("S%1").arg(k) });
    QVERIFY(openWindow());

    selectDates(selected, current);
    clickSearch();
    QCOMPARE(column("msgKyoku", 1), titles);
}

void TestSortWindow::runWithoutSongsLeavesHeaderOnly()
{
    addOuting(QStringLiteral("2024/01/01"), { "A" });
    addOuting(QStringLiteral("2024/02/01"), {});
    QVERIFY(openWindow());

    selectDates({ 0 }, 0);
    clickSearch();
    QCOMPARE(grid("msgKyoku")->rows(), 2);

    selectDates({ 1 }, 1);
    clickSearch();
    QCOMPARE(grid("msgKyoku")->rows(), 1);
    QCOMPARE(grid("msgKyoku")->textAt(0, 3), QStringLiteral("回"));
}

QTEST_MAIN(TestSortWindow)
#include "test_sort_window.moc"
