#include "windows/SearchWindow.h"
#include "windows/SongHistoryWindow.h"

#include "tables/SharedTables.h"
#include "tests/search/SmallDiary.h"
#include "toolkit/FlexGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void typingSearchesAndReturnOpensTheOuting();
    void historyWindowListsTheOutingsOfTheSong();

private:
    QStringList column(const char *gridName, QWidget *window, int col) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
};

void TestSearchWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The windows' places are kept here, not in the user's settings.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
    QVERIFY(smalldiary::book().rewrite(QDir(m_dir->path())).ok());
    m_tables = std::make_unique<SharedTables>(TablesReading(QDir(m_dir->path())).finish());
}

void TestSearchWindow::cleanup()
{
    m_tables.reset();
    m_dir.reset();
}

QStringList TestSearchWindow::column(const char *gridName, QWidget *window, int col) const
{
    const auto *grid = window->findChild<FlexGrid *>(gridName);
    QStringList texts;
    for (int row = 1; grid && row < grid->rows(); ++row)
        texts.append(grid->textAt(row, col));
    return texts;
}

void TestSearchWindow::typingSearchesAndReturnOpensTheOuting()
{
    SearchWindow window(*m_tables);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *text = window.findChild<QLineEdit *>("txtSearch");
    auto *grid = window.findChild<FlexGrid *>("msgResult");
    auto *count = window.findChild<QLabel *>("lblCount");
    auto *history = window.findChild<QPushButton *>("cmdHistory");
    QVERIFY(text && grid && count && history);
    QSignalSpy chosen(&window, &SearchWindow::outingChosen);
    QSignalSpy asked(&window, &SearchWindow::historyRequested);

    QCOMPARE(grid->rows(), 1);
    QVERIFY(!history->isEnabled());

    QTest::keyClicks(text, QStringLiteral("Lemon"));
    QCOMPARE(count->text(), QStringLiteral("3件"));
    QCOMPARE(column("msgResult", &window, 1), QStringList({ "2025年01月05日", "2025/3/9", "2024年12月31日" }));
    QCOMPARE(grid->textAt(2, 3), QStringLiteral("曲: ＬＥＭＯＮ / 米津玄師"));

    // Return in the search box opens the first result, Up staying on it; Down moves to the next.
    QTest::keyClick(text, Qt::Key_Up);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    QTest::keyClick(text, Qt::Key_Down);
    QVERIFY(history->isEnabled());
    QTRY_VERIFY(grid->selectionModel()->isRowSelected(1));
    QTest::mouseClick(history, Qt::LeftButton);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen[0][0].toInt(), 1);
    QCOMPARE(chosen[1][0].toInt(), 2);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0], QVariantList({ QStringLiteral("ＬＥＭＯＮ"), QStringLiteral("米津玄師") }));

    // A result that matched no song has no history to show.
    text->clear();
    QCOMPARE(count->text(), QString());
    // Japanese comes in through the input method, as whole committed words.
    text->setText(QStringLiteral("たなか 群青"));
    QCOMPARE(count->text(), QStringLiteral("0件"));
    text->setText(QStringLiteral("田中"));
    QCOMPARE(column("msgResult", &window, 3), QStringList({ "メンバー: 田中" }));
    QVERIFY(!history->isEnabled());

    // A changed diary is searched at once.
    QVERIFY(m_tables->removeOuting(2).ok());
    QCOMPARE(grid->rows(), 1);
    QCOMPARE(count->text(), QStringLiteral("0件"));
}

void TestSearchWindow::historyWindowListsTheOutingsOfTheSong()
{
    SongHistoryWindow window(*m_tables, QStringLiteral("夜に駆ける"), QStringLiteral("YOASOBI"));
    auto *song = window.findChild<QLabel *>("lblSong");
    auto *summary = window.findChild<QLabel *>("lblSummary");
    QVERIFY(song && summary);

    QCOMPARE(song->text(), QStringLiteral("夜に駆ける / YOASOBI"));
    QCOMPARE(column("msgHistory", &window, 0), QStringList({ "1", "2", "3", "4" }));
    QCOMPARE(column("msgHistory", &window, 3), QStringList({ "佐藤、鈴木", "田中", "佐藤", "鈴木、高橋、佐藤伸" }));
    QCOMPARE(column("msgHistory", &window, 4), QStringList({ "1", "2", "1", "1" }));
    QCOMPARE(summary->text(), QStringLiteral("初めて: 2024年12月31日　最後: 2025/3/9　5回"));

    window.showSong(QStringLiteral("Lemon"), QStringLiteral("米津玄師"));
    QCOMPARE(column("msgHistory", &window, 1), QStringList({ "2025年01月05日", "2025/3/9", "2024年12月31日" }));
    QCOMPARE(summary->text(), QStringLiteral("初めて: 2024年12月31日　最後: 2025/3/9　3回"));

    // A double-click opens the outing of the row clicked.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy chosen(&window, &SongHistoryWindow::outingChosen);
    auto *grid = window.findChild<FlexGrid *>("msgHistory");
    QCOMPARE(grid->row(), 1);
    // Through the window, as the system delivers it: press, release, press, release.
    const QPoint third = grid->visualRect(grid->model()->index(2, 1)).center();
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, grid->viewport()->mapTo(&window, third));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].toInt(), 4);
}

QTEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"
