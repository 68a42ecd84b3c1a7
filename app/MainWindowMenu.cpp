#include "app/MainWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "windows/FailureWords.h"
#include "windows/RestoreWindow.h"
#include "windows/SearchWindow.h"
#include "windows/SongHistoryWindow.h"
#include "windows/StatisticsWindow.h"

#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>

#include <algorithm>

namespace {

/// An item that runs handler, with the keys shown beside it and acting anywhere in the window.
template <typename Handler>
QAction *addItem(QMenu *menu, const QString &text, const QList<QKeySequence> &keys, MainWindow *window, Handler handler,
    bool repeats = false)
{
    QAction *action = menu->addAction(text);
    action->setShortcuts(keys);
    // A key held down runs most items once: its repeats would reach the window that comes forward.
    action->setAutoRepeat(repeats);
    QObject::connect(action, &QAction::triggered, window, handler);
    return action;
}

} // namespace

QMenuBar *MainWindow::buildMenuBar()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addItem(file, QStringLiteral("CSVに書き出す(&E)…"), {}, this, &MainWindow::exportCsv);
    addItem(file, QStringLiteral("CSVから取り込む(&I)…"), {}, this, &MainWindow::importCsv);
    addItem(file, QStringLiteral("バックアップを作成(&B)…"), {}, this, &MainWindow::makeBackup);
    addItem(file, QStringLiteral("バックアップから復元(&R)…"), {}, this, &MainWindow::openRestore);
    file->addSeparator();
    addItem(file, QStringLiteral("終了(&X)"), { QKeySequence(Qt::CTRL | Qt::Key_Q) }, this, &MainWindow::cmdEnd_Click);

    QMenu *diary = bar->addMenu(QStringLiteral("日記(&D)"));
    diary->setObjectName(QStringLiteral("mnuDiary"));
    addItem(diary, QStringLiteral("新規(&N)"), { QKeySequence(Qt::CTRL | Qt::Key_N) }, this, &MainWindow::cmdNew_Click);
    addItem(
        diary, QStringLiteral("登録(&S)"), { QKeySequence(Qt::CTRL | Qt::Key_S) }, this, &MainWindow::cmdTouroku_Click);
    diary->addSeparator();
    // Acting in the whole window but for a focused text box, which takes its own undo keys first
    // (ShortcutOverride) and so keeps undoing what is typed in it.
    m_undoItem = addItem(diary, QStringLiteral("元に戻す"), { QKeySequence(Qt::CTRL | Qt::Key_Z) }, this,
        [this] { takeDiaryStep(true); });
    m_redoItem = addItem(diary, QStringLiteral("やり直し"),
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) }, this,
        [this] { takeDiaryStep(false); });
    for (QAction *item : { m_undoItem, m_redoItem }) {
        item->setShortcutContext(Qt::WindowShortcut);
        item->setEnabled(false);
    }
    diary->addSeparator();
    // Held down, the keys page on through the outings.
    addItem(diary, QStringLiteral("前の日記(&P)"),
        { QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_PageUp) }, this, &MainWindow::showPreviousOuting,
        true);
    addItem(diary, QStringLiteral("次の日記(&X)"),
        { QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_PageDown) }, this, &MainWindow::showNextOuting,
        true);
    diary->addSeparator();
    addItem(diary, QStringLiteral("検索(&F)…"), { QKeySequence(Qt::CTRL | Qt::Key_F) }, this, &MainWindow::openSearch);
    diary->addSeparator();
    addItem(diary, QStringLiteral("この日記を削除(&D)…"), {}, this, &MainWindow::deleteShownOuting);

    QMenu *view = bar->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("mnuView"));
    addItem(view, QStringLiteral("分析(&A)"), {}, this, &MainWindow::cmdSort_Click);
    addItem(view, QStringLiteral("歌手(&K)"), {}, this, &MainWindow::cmdKasyu_Click);
    addItem(view, QStringLiteral("設定(&O)"), {}, this, &MainWindow::cmdPrivate_Click);
    view->addSeparator();
    addItem(view, QStringLiteral("統計(&T)…"), {}, this, &MainWindow::openStatistics);

    QMenu *help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addItem(help, QStringLiteral("ヘルプ(&H)"), { QKeySequence(Qt::Key_F1) }, this, &MainWindow::cmdHelp_Click);
    addItem(help, QStringLiteral("このプログラムについて(&A)"), {}, this, &MainWindow::showAbout);
    return bar;
}

void MainWindow::takeDiaryStep(bool undoing)
{
    const QList<DiaryStep> &steps = undoing ? m_tables->undoSteps() : m_tables->redoSteps();
    const qsizetype before = steps.size();
    if (before == 0 || !mayLeaveInputs())
        return;
    // A registration chosen in the question is a step of its own, which the user has not seen
    // named in the item yet: nothing more is taken back.
    if (steps.size() != before)
        return;
    const int outing = steps.last().outing;
    textfile::Failure taken;
    {
        WaitCursor wait;
        taken = undoing ? m_tables->undo() : m_tables->redo();
        if (taken.ok()) {
            hsbData->setValue(std::clamp(outing, 1, std::max(1, m_tables->diary().entryCount())));
            ShowEntry();
        }
    }
    failurewords::report(this, taken);
}

void MainWindow::showStepItems()
{
    const auto name = [](const QString &verb, const QList<DiaryStep> &steps) {
        if (steps.isEmpty())
            return verb;
        const DiaryStep &step = steps.last();
        QString date = step.date;
        return verb + QStringLiteral(": ") + date.replace(u'&', QStringLiteral("&&"))
            + (step.kind == DiaryStep::Deletion ? QStringLiteral("の削除") : QStringLiteral("の登録"));
    };
    m_undoItem->setText(name(QStringLiteral("元に戻す"), m_tables->undoSteps()));
    m_undoItem->setEnabled(!m_tables->undoSteps().isEmpty());
    m_redoItem->setText(name(QStringLiteral("やり直し"), m_tables->redoSteps()));
    m_redoItem->setEnabled(!m_tables->redoSteps().isEmpty());
}

void MainWindow::showPreviousOuting()
{
    hsbData->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void MainWindow::showNextOuting()
{
    hsbData->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void MainWindow::showAbout()
{
    messages::notify(this,
        QStringLiteral(
            "Crooner's Diary %1\nカラオケの日記\n\nGNU General Public License 第3版以降の条件で配布しています。")
            .arg(QCoreApplication::applicationVersion()),
        QStringLiteral("このプログラムについて"));
}

void MainWindow::openSearch()
{
    m_searchWindow.showOrRaise(this, [this] { return makeSearchWindow(); });
}

SearchWindow *MainWindow::makeSearchWindow()
{
    auto *window = new SearchWindow(*m_tables);
    connect(window, &SearchWindow::outingChosen, this, &MainWindow::showOuting);
    connect(window, &SearchWindow::historyRequested, this, &MainWindow::showSongHistory);
    return window;
}

void MainWindow::openStatistics()
{
    m_statisticsWindow.showOrRaise(this, [this] { return new StatisticsWindow(*m_tables); });
}

void MainWindow::openRestore()
{
    m_restoreWindow.showOrRaise(
        this, [this] { return new RestoreWindow(*m_tables, [this] { return mayLeaveInputs(); }); });
}

void MainWindow::showOuting(int number)
{
    if (number < 1 || number > m_tables->diary().entryCount() || !mayLeaveInputs())
        return;
    if (hsbData->value() == number)
        ShowEntry();
    else
        hsbData->setValue(number);
    raise();
    activateWindow();
}

void MainWindow::showSongHistory(const QString &title, const QString &artist)
{
    if (SongHistoryWindow *open = m_historyWindow.window())
        open->showSong(title, artist);
    // Beside the search window when asked there.
    const QWidget *opener = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    m_historyWindow.showOrRaise(opener, [&] {
        auto *window = new SongHistoryWindow(*m_tables, title, artist);
        connect(window, &SongHistoryWindow::outingChosen, this, &MainWindow::showOuting);
        return window;
    });
}

void MainWindow::msgSenkyoku_ContextMenu(const QPoint &pos)
{
    // Model row r is the grid's row r + 1, below the header.
    const QModelIndex index = msgSenkyoku->indexAt(pos);
    if (!index.isValid())
        return;
    const int row = index.row() + 1;
    const QString title = msgSenkyoku->textAt(row, 1);
    const QString artist = msgSenkyoku->textAt(row, 2);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuSong"));
    if (!title.isEmpty() || !artist.isEmpty()) {
        connect(menu.addAction(QStringLiteral("この曲の履歴(&H)")), &QAction::triggered, this,
            [&] { showSongHistory(title, artist); });
    }
    connect(menu.addAction(QStringLiteral("削除(&D)")), &QAction::triggered, this, [&] { removeSongRow(row); });
    menu.exec(msgSenkyoku->viewport()->mapToGlobal(pos));
}
