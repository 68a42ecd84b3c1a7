#include "windows/SongHistoryWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/CutTextTips.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/Twips.h"
#include "toolkit/WholeRows.h"
#include "toolkit/WindowPlaces.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

/// Room round the window's controls, and between them, in pixels.
constexpr int Margin = 8;
constexpr int Spacing = 8;

} // namespace

SongHistoryWindow::SongHistoryWindow(SharedTables &tables, const QString &title, const QString &artist, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("曲の履歴"));
    setFont(msPGothic(9));
    buildControls();
    prepareGrid();
    resize(twipsToPixels(10000), twipsToPixels(5340));
    places::remember(this);
    showSong(title, artist);
    connect(&m_tables, &SharedTables::changed, this, [this](SharedTables::Tables what) {
        if (what & SharedTables::Diary)
            diaryChanged();
    });
}

void SongHistoryWindow::buildControls()
{
    lblSong = new QLabel(this);
    lblSong->setObjectName(QStringLiteral("lblSong"));
    lblSong->setFont(msPGothic(11));
    lblSong->setTextFormat(Qt::PlainText);
    lblSong->setMinimumHeight(twipsToPixels(330));

    msgHistory = new FlexGrid(this);
    msgHistory->setObjectName(QStringLiteral("msgHistory"));
    selectWholeRows(msgHistory);
    connect(msgHistory, &FlexGrid::doubleClicked, this,
        [this](const QModelIndex &index) { chooseOuting(index.row() + 1); });
    msgHistory->installEventFilter(this);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setTextFormat(Qt::PlainText);

    // A long title or summary is cut at the window's edge, never widening it.
    for (QLabel *label : { lblSong, lblSummary }) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        tipCutText(label);
    }

    cmdModori = new QPushButton(QStringLiteral("戻る"), this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setToolTip(QStringLiteral("メインに戻る"));
    cmdModori->setMinimumSize(twipsToPixels(1500), twipsToPixels(420));
    connect(cmdModori, &QPushButton::clicked, this, &SongHistoryWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &SongHistoryWindow::cmdModori_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->setSpacing(Spacing);
    layout->addWidget(lblSong);
    layout->addWidget(msgHistory, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblSummary, 1);
    bottom->addWidget(cmdModori);
    layout->addLayout(bottom);

    setTabOrder(msgHistory, cmdModori);
}

void SongHistoryWindow::prepareGrid()
{
    msgHistory->setCols(5);
    const std::array<int, 5> widths { 450, 1500, 2400, 4830, 450 };
    const QStringList headers { QStringLiteral("№"), QStringLiteral("日付"), QStringLiteral("場所"),
        QStringLiteral("メンバー"), QStringLiteral("回") };
    for (int col = 0; col < 5; ++col) {
        msgHistory->setColWidth(col, widths[col]);
        msgHistory->setTextAt(0, col, headers[col]);
        msgHistory->setFixedAlignment(col, FlexGrid::CenterCenter);
        const bool number = col == 0 || col == 4;
        msgHistory->setColAlignment(col, number ? FlexGrid::CenterCenter : FlexGrid::LeftCenter);
    }
    msgHistory->stretchCol(3);
    msgHistory->setRows(1);
}

void SongHistoryWindow::showSong(const QString &title, const QString &artist)
{
    m_history = songHistory(m_tables.diary(), title, artist);
    showHistory();
}

void SongHistoryWindow::diaryChanged()
{
    showSong(m_history.title, m_history.artist);
}

void SongHistoryWindow::showHistory()
{
    lblSong->setText(songCaption(m_history.title, m_history.artist));
    msgHistory->setRows(1);
    QList<QStringList> rows;
    rows.reserve(m_history.outings.size());
    for (const SongOuting &outing : std::as_const(m_history.outings)) {
        rows.append({ QString::number(outing.number), outing.date, outing.place, outing.members.join(u'、'),
            QString::number(outing.times) });
    }
    msgHistory->appendRows(rows);
    msgHistory->showFromTop();
    lblSummary->setText(m_history.summary());
}

void SongHistoryWindow::chooseOuting(int row)
{
    if (row >= 1 && row <= m_history.outings.size())
        Q_EMIT outingChosen(m_history.outings[row - 1].number);
}

bool SongHistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == msgHistory && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseOuting(msgHistory->row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SongHistoryWindow::cmdModori_Click()
{
    close();
}
