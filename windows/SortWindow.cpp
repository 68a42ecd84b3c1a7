#include "windows/SortWindow.h"

#include "analysis/PeriodTally.h"
#include "tables/SharedTables.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/Pictures.h"
#include "toolkit/Twips.h"
#include "toolkit/WaitCursor.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include <array>

namespace {

struct SortChoice
{
    const char *caption;
    int left, width;
    int column; ///< 0 for the choice that rebuilds the list instead of sorting it
    int mode;
};

const std::array<SortChoice, 6> SortChoices { {
    { "曲名", 225, 1290, 0, 0 },
    { "アーティスト", 1425, 1290, 2, FlexGrid::GenericAscending },
    { "ジャンル", 3075, 1290, 3, FlexGrid::GenericAscending },
    { "叫び", 4500, 1290, 4, FlexGrid::GenericDescending },
    { "評価", 5850, 1290, 5, FlexGrid::GenericDescending },
    { "回数", 7200, 840, 6, FlexGrid::NumericDescending },
} };

/// A choice of sort that takes a click anywhere in its box, not only on its circle and caption.
class SortOption : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace

SortWindow::SortWindow(SharedTables &tables, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
{
    setObjectName(QStringLiteral("frmSort"));
    setWindowTitle(QStringLiteral("並び替えリスト"));
    setFont(msPGothic(9));
    setFixedSize(twipsToPixels(9435), twipsToPixels(6630));
    buildControls();
    Form_Load();
}

void SortWindow::buildControls()
{
    auto *frame1 = new QGroupBox(QStringLiteral("期間による曲名検索"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    placeTwips(frame1, 75, 75, 9285, 3210);

    msgKyoku = new FlexGrid(frame1);
    msgKyoku->setObjectName(QStringLiteral("msgKyoku"));
    placeTwips(msgKyoku, 150, 300, 7035, 2760);

    lstDate = new QListWidget(frame1);
    lstDate->setObjectName(QStringLiteral("lstDate"));
    lstDate->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstDate->setToolTip(QStringLiteral("マウスで選択"));
    placeTwips(lstDate, 7275, 315, 1860, 2205);
    repaintOnActivationOnlyWhenSeen(lstDate);

    cmdKikan = new QPushButton(QStringLiteral("期間検索"), frame1);
    cmdKikan->setObjectName(QStringLiteral("cmdKikan"));
    placeTwips(cmdKikan, 7275, 2625, 1850, 420);
    connect(cmdKikan, &QPushButton::clicked, this, &SortWindow::cmdKikan_Click);

    auto *frame2 = new QGroupBox(QStringLiteral("登録曲一覧"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    placeTwips(frame2, 75, 3450, 8160, 3075);

    msgKyoku2 = new FlexGrid(frame2);
    msgKyoku2->setObjectName(QStringLiteral("msgKyoku2"));
    placeTwips(msgKyoku2, 150, 270, 7890, 2300);

    // One exclusive group with nothing checked; idClicked also fires for the option already
    // checked, so choosing it again sorts again.
    optSort = new QButtonGroup(this);
    QList<QWidget *> options;
    for (int index = 0; index < int(SortChoices.size()); ++index) {
        const SortChoice &choice = SortChoices[index];
        auto *option = new SortOption(QString::fromUtf8(choice.caption), frame2);
        option->setObjectName(QStringLiteral("optSort%1").arg(index));
        placeTwips(option, choice.left, 2700, choice.width, 240);
        optSort->addButton(option, index);
        options.append(option);
    }
    connect(optSort, &QButtonGroup::idClicked, this, &SortWindow::optSort_Click);

    cmdModori = new QToolButton(this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setText(QStringLiteral("戻る"));
    cmdModori->setToolTip(QStringLiteral("メインに戻る"));
    cmdModori->setIcon(standardPicture(QStyle::SP_ArrowBack));
    cmdModori->setIconSize(QSize(32, 32));
    cmdModori->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    cmdModori->setFocusPolicy(Qt::StrongFocus);
    placeTwips(cmdModori, 8325, 5400, 1035, 1050);
    connect(cmdModori, &QToolButton::clicked, this, &SortWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &SortWindow::cmdModori_Click);

    const QList<QWidget *> tabOrder { msgKyoku, lstDate, cmdKikan, msgKyoku2, options[0], options[1], cmdModori,
        options[2], options[3], options[4], options[5] };
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void SortWindow::Form_Load()
{
    connect(&m_tables, &SharedTables::changed, this, [this](SharedTables::Tables what) {
        m_stale = m_stale || (what & (SharedTables::Diary | SharedTables::Songs | SharedTables::SingCounts));
    });
    PreparePeriodSearch();
    PrepareSongGrid();
    LoadSongList();
}

void SortWindow::PreparePeriodSearch()
{
    QStringList dates;
    dates.reserve(m_tables.diary().entryCount());
    for (const DiaryEntry &entry : m_tables.diary().entries())
        dates.append(entry.date);
    lstDate->addItems(dates);

    msgKyoku->setCols(4);
    const std::array<int, 4> widths { 380, 3125, 2800, 380 };
    const QStringList headers { QStringLiteral("№"), QStringLiteral("曲名"), QStringLiteral("アーティスト"),
        QStringLiteral("回") };
    for (int col = 0; col < 4; ++col) {
        msgKyoku->setColWidth(col, widths[col]);
        msgKyoku->setTextAt(0, col, headers[col]);
        msgKyoku->setFixedAlignment(col, FlexGrid::CenterCenter);
    }
    msgKyoku->setColAlignment(1, FlexGrid::LeftCenter);
    msgKyoku->setColAlignment(2, FlexGrid::LeftCenter);
    msgKyoku->setColAlignment(3, FlexGrid::CenterCenter);
    msgKyoku->setRows(1);
}

void SortWindow::PrepareSongGrid()
{
    msgKyoku2->setCols(7);
    const std::array<int, 7> widths { 380, 3035, 2350, 800, 300, 300, 380 };
    const QStringList headers { QStringLiteral("№"), QStringLiteral("曲名"), QStringLiteral("アーティスト名"),
        QStringLiteral("ジャンル"), QStringLiteral("叫"), QStringLiteral("評"), QStringLiteral("回") };
    for (int col = 0; col < 7; ++col) {
        msgKyoku2->setColWidth(col, widths[col]);
        msgKyoku2->setTextAt(0, col, headers[col]);
        msgKyoku2->setFixedAlignment(col, FlexGrid::CenterCenter);
    }
    msgKyoku2->setColAlignment(1, FlexGrid::LeftCenter);
    msgKyoku2->setColAlignment(2, FlexGrid::LeftCenter);
    msgKyoku2->setColAlignment(6, FlexGrid::CenterCenter);
    msgKyoku2->setRows(1);
}

void SortWindow::LoadSongList()
{
    WaitCursor wait;
    m_songs = m_tables.songs().songs();
    ShowSongList();
}

void SortWindow::ShowSongList()
{
    msgKyoku2->setRows(1);
    QList<QStringList> rows;
    rows.reserve(m_songs.size());
    for (int i = 0; i < m_songs.size(); ++i) {
        const SongRecord &song = m_songs[i];
        rows.append({ QString::number(i + 1), song.title, song.artist, song.genre, song.shoutLevel, song.selfRating,
            QString::number(song.singCount) });
    }
    msgKyoku2->appendRows(rows);
    msgKyoku2->showFromTop();
}

void SortWindow::optSort_Click(int index)
{
    const SortChoice &choice = SortChoices.at(index);
    if (choice.column == 0) {
        LoadSongList();
        return;
    }
    msgKyoku2->setCol(choice.column);
    msgKyoku2->sort(choice.mode);
    msgKyoku2->showFromTop();
}

void SortWindow::cmdKikan_Click()
{
    const int current = lstDate->currentRow();
    const int selected = int(lstDate->selectedItems().size());
    const QVector<PeriodTallyRow> tally = tallyPeriod(m_tables.diary(), periodRun(current, selected));

    msgKyoku->setRows(1);
    QList<QStringList> rows;
    rows.reserve(tally.size());
    for (int r = 0; r < tally.size(); ++r) {
        const PeriodTallyRow &row = tally[r];
        rows.append({ QString::number(r + 1), row.title, row.artist, QString::number(row.count) });
    }
    msgKyoku->appendRows(rows);
    msgKyoku->showFromTop();
}

void SortWindow::cmdModori_Click()
{
    close();
}
