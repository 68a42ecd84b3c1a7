#include "windows/SearchWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/Pictures.h"
#include "toolkit/Twips.h"
#include "toolkit/WholeRows.h"
#include "toolkit/WindowPlaces.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

/// Room round the window's controls, and between them, in pixels.
constexpr int Margin = 8;
constexpr int Spacing = 8;

} // namespace

SearchWindow::SearchWindow(SharedTables &tables, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("検索"));
    setFont(msPGothic(9));
    buildControls();
    prepareGrid();
    resize(twipsToPixels(12000), twipsToPixels(5340));
    places::remember(this);
    showResults();
    connect(&m_tables, &SharedTables::changed, this, [this](SharedTables::Tables what) {
        if (what & SharedTables::Diary)
            diaryChanged();
    });
}

void SearchWindow::buildControls()
{
    auto *caption = new QLabel(QStringLiteral("検索語"), this);
    caption->setObjectName(QStringLiteral("lblSearch"));

    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setToolTip(QStringLiteral("曲名・アーティスト・場所・メンバー・日付（空白で区切ると全部を含む日）"));
    showClearButton(txtSearch);
    connect(txtSearch, &QLineEdit::textChanged, this, &SearchWindow::txtSearch_Change);
    connect(txtSearch, &QLineEdit::returnPressed, this, &SearchWindow::chooseOuting);
    txtSearch->installEventFilter(this);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCount->setMinimumWidth(twipsToPixels(1620));

    msgResult = new FlexGrid(this);
    msgResult->setObjectName(QStringLiteral("msgResult"));
    msgResult->setContextMenuPolicy(Qt::CustomContextMenu);
    selectWholeRows(msgResult);
    connect(msgResult, &FlexGrid::doubleClicked, this, &SearchWindow::msgResult_DblClick);
    connect(msgResult, &FlexGrid::customContextMenuRequested, this, &SearchWindow::msgResult_ContextMenu);
    connect(msgResult->selectionModel(), &QItemSelectionModel::currentChanged, this, &SearchWindow::updateButtons);
    msgResult->installEventFilter(this);

    cmdHistory = new QPushButton(QStringLiteral("曲の履歴"), this);
    cmdHistory->setObjectName(QStringLiteral("cmdHistory"));
    cmdHistory->setToolTip(QStringLiteral("選んだ日記の一致した曲を、いつ誰と唄ったか"));
    cmdHistory->setMinimumSize(twipsToPixels(1500), twipsToPixels(420));
    connect(cmdHistory, &QPushButton::clicked, this, &SearchWindow::cmdHistory_Click);

    cmdModori = new QPushButton(QStringLiteral("戻る"), this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setToolTip(QStringLiteral("メインに戻る"));
    cmdModori->setMinimumSize(twipsToPixels(1500), twipsToPixels(420));
    connect(cmdModori, &QPushButton::clicked, this, &SearchWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &SearchWindow::cmdModori_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->setSpacing(Spacing);
    auto *words = new QHBoxLayout;
    words->addWidget(caption);
    words->addWidget(txtSearch, 1);
    words->addWidget(lblCount);
    layout->addLayout(words);
    layout->addWidget(msgResult, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdHistory);
    buttons->addStretch();
    buttons->addWidget(cmdModori);
    layout->addLayout(buttons);

    setTabOrder(txtSearch, msgResult);
    setTabOrder(msgResult, cmdHistory);
    setTabOrder(cmdHistory, cmdModori);
}

void SearchWindow::prepareGrid()
{
    msgResult->setCols(4);
    const std::array<int, 4> widths { 450, 1500, 2400, 7080 };
    const QStringList headers { QStringLiteral("№"), QStringLiteral("日付"), QStringLiteral("場所"),
        QStringLiteral("一致") };
    for (int col = 0; col < 4; ++col) {
        msgResult->setColWidth(col, widths[col]);
        msgResult->setTextAt(0, col, headers[col]);
        msgResult->setFixedAlignment(col, FlexGrid::CenterCenter);
        msgResult->setColAlignment(col, col == 0 ? FlexGrid::CenterCenter : FlexGrid::LeftCenter);
    }
    msgResult->stretchCol(3);
    msgResult->setRows(1);
}

void SearchWindow::diaryChanged()
{
    m_indexCurrent = false;
    showResults();
}

void SearchWindow::txtSearch_Change()
{
    showResults();
}

void SearchWindow::showResults()
{
    // The index is made for the first search, not when the window opens empty.
    if (!m_indexCurrent && !searchTerms(txtSearch->text()).isEmpty()) {
        m_index.rebuild(m_tables.diary());
        m_indexCurrent = true;
    }
    m_hits = m_index.search(txtSearch->text());
    msgResult->setRows(1);
    QList<QStringList> rows;
    rows.reserve(m_hits.size());
    for (const SearchHit &hit : std::as_const(m_hits))
        rows.append({ QString::number(hit.number), hit.date, hit.place, hit.matched });
    msgResult->appendRows(rows);
    // Read from the top: the first result is the one Return opens.
    msgResult->showFromTop();
    msgResult->setCol(1);
    lblCount->setText(txtSearch->text().trimmed().isEmpty() ? QString() : QStringLiteral("%1件").arg(m_hits.size()));
    updateButtons();
}

const SearchHit *SearchWindow::chosenHit() const
{
    const int row = msgResult->row();
    return row >= 1 && row <= m_hits.size() ? &m_hits[row - 1] : nullptr;
}

void SearchWindow::updateButtons()
{
    const SearchHit *hit = chosenHit();
    cmdHistory->setEnabled(hit && hit->matchedSong);
}

void SearchWindow::chooseOuting()
{
    if (const SearchHit *hit = chosenHit())
        Q_EMIT outingChosen(hit->number);
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (watched == msgResult && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        chooseOuting();
        return true;
    }
    // Up and down in the search box walk the results, so that Return opens the one wanted
    // without leaving the words.
    if (watched == txtSearch && (key == Qt::Key_Down || key == Qt::Key_Up) && msgResult->rows() > 1) {
        const int step = key == Qt::Key_Down ? 1 : -1;
        msgResult->setRow(std::clamp(msgResult->row() + step, 1, msgResult->rows() - 1));
        updateButtons();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::msgResult_DblClick(const QModelIndex &index)
{
    if (index.isValid() && index.row() < m_hits.size())
        Q_EMIT outingChosen(m_hits[index.row()].number);
}

void SearchWindow::msgResult_ContextMenu(const QPoint &pos)
{
    const QModelIndex index = msgResult->indexAt(pos);
    if (!index.isValid())
        return;
    msgResult->setCurrentIndex(index);
    const SearchHit *hit = chosenHit();
    if (!hit)
        return;
    QMenu menu(this);
    QAction *open = menu.addAction(QStringLiteral("この日を表示"));
    QAction *history = menu.addAction(QStringLiteral("この曲の履歴"));
    history->setEnabled(hit->matchedSong);
    const int number = hit->number;
    const QString title = hit->songTitle;
    const QString artist = hit->songArtist;
    QAction *picked = menu.exec(msgResult->viewport()->mapToGlobal(pos));
    if (picked == open)
        Q_EMIT outingChosen(number);
    else if (picked == history)
        Q_EMIT historyRequested(title, artist);
}

void SearchWindow::cmdHistory_Click()
{
    const SearchHit *hit = chosenHit();
    if (hit && hit->matchedSong)
        Q_EMIT historyRequested(hit->songTitle, hit->songArtist);
}

void SearchWindow::cmdModori_Click()
{
    close();
}
