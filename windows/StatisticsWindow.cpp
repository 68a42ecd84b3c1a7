#include "windows/StatisticsWindow.h"

#include "modules/Modules.h"
#include "tables/SharedTables.h"
#include "textfile/FileReplace.h"
#include "toolkit/FileChoosers.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Twips.h"
#include "toolkit/WindowPlaces.h"
#include "windows/FailureWords.h"

#include <QBuffer>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

namespace {

/// Above this many years the bars are labelled by the bare number, which still fits under them.
constexpr int LongYearLabels = 10;
/// No year an outing can have: fillYears then chooses the newest.
constexpr int NoYear = -1;
constexpr int RankWidth = 420;
constexpr int CountWidth = 480;
/// Room round the window's controls, and between them, in pixels.
constexpr int Margin = 8;
constexpr int Spacing = 6;

QString picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

} // namespace

StatisticsWindow::StatisticsWindow(SharedTables &tables, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
    , m_statistics(tables.diary())
{
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(QStringLiteral("統計"));
    setFont(msPGothic(9));
    buildControls();
    resize(twipsToPixels(12000), twipsToPixels(9120));
    places::remember(this);
    fillYears(NoYear);
    showPeriod();
    connect(&m_tables, &SharedTables::changed, this, [this](SharedTables::Tables what) {
        if (what & SharedTables::Diary)
            diaryChanged();
    });
}

void StatisticsWindow::buildControls()
{
    auto *caption = new QLabel(QStringLiteral("年"), this);
    caption->setObjectName(QStringLiteral("lblYear"));

    cboYear = new QComboBox(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->setToolTip(QStringLiteral("月別に見る年、または年別に見る全期間"));
    cboYear->setMinimumWidth(twipsToPixels(1500));
    connect(cboYear, &QComboBox::currentIndexChanged, this, &StatisticsWindow::cboYear_Click);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    msgSongs = makeRankingGrid("msgSongs", QStringLiteral("曲"));
    msgArtists = makeRankingGrid("msgArtists", QStringLiteral("アーティスト"));
    msgMembers = makeRankingGrid("msgMembers", QStringLiteral("メンバー"));
    msgPlaces = makeRankingGrid("msgPlaces", QStringLiteral("場所"));

    cmdSavePng = new QPushButton(QStringLiteral("画像を保存…"), this);
    cmdSavePng->setObjectName(QStringLiteral("cmdSavePng"));
    cmdSavePng->setToolTip(QStringLiteral("グラフを PNG 画像のファイルに保存する"));
    cmdSavePng->setMinimumSize(twipsToPixels(1800), twipsToPixels(420));
    connect(cmdSavePng, &QPushButton::clicked, this, &StatisticsWindow::cmdSavePng_Click);

    cmdModori = new QPushButton(QStringLiteral("戻る"), this);
    cmdModori->setObjectName(QStringLiteral("cmdModori"));
    cmdModori->setToolTip(QStringLiteral("メインに戻る"));
    cmdModori->setMinimumSize(twipsToPixels(1500), twipsToPixels(420));
    connect(cmdModori, &QPushButton::clicked, this, &StatisticsWindow::cmdModori_Click);
    keys::escapeGoesBack(this, &StatisticsWindow::cmdModori_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->setSpacing(Spacing);
    auto *year = new QHBoxLayout;
    year->addWidget(caption);
    year->addWidget(cboYear);
    year->addStretch();
    layout->addLayout(year);
    layout->addWidget(lblSummary);
    // The chart and the rankings share what height there is.
    layout->addWidget(buildChart(), 1);
    auto *grids = new QHBoxLayout;
    // Each ranking keeps its share of the width, in twips as it was made for.
    for (const auto &[grid, width] : { std::pair(msgSongs, 4200), std::pair(msgArtists, 2520),
             std::pair(msgMembers, 2280), std::pair(msgPlaces, 2400) })
        grids->addWidget(grid, width);
    layout->addLayout(grids, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSavePng);
    buttons->addStretch();
    buttons->addWidget(cmdModori);
    layout->addLayout(buttons);

    setTabOrder(cboYear, msgSongs);
    setTabOrder(msgSongs, msgArtists);
    setTabOrder(msgArtists, msgMembers);
    setTabOrder(msgMembers, msgPlaces);
    setTabOrder(msgPlaces, cmdSavePng);
    setTabOrder(cmdSavePng, cmdModori);
}

FlexGrid *StatisticsWindow::makeRankingGrid(const char *name, const QString &heading)
{
    auto *grid = new FlexGrid(this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setCols(3);
    const QString headers[3] = { QStringLiteral("順位"), heading, QStringLiteral("回数") };
    for (int col = 0; col < 3; ++col) {
        grid->setTextAt(0, col, headers[col]);
        grid->setFixedAlignment(col, FlexGrid::CenterCenter);
        grid->setColAlignment(col, col == 1 ? FlexGrid::LeftCenter : FlexGrid::CenterCenter);
    }
    grid->setColWidth(0, RankWidth);
    grid->setColWidth(2, CountWidth);
    grid->stretchCol(1);
    grid->setRows(1);
    return grid;
}

QWidget *StatisticsWindow::buildChart()
{
    QString error;
    const auto make
        = reinterpret_cast<MakePeriodChart>(modules::function(ChartModule, MakePeriodChartFunction, &error));
    const PeriodChartFonts fonts { msPGothic(10), msPGothic(9) };
    if (make)
        m_chart.reset(make(this, &fonts));
    QWidget *shown = m_chart ? m_chart->view() : nullptr;
    if (!shown) {
        // The counts and rankings still serve without the chart.
        auto *missing = new QLabel(QStringLiteral("グラフを表示できません\n") + error, this);
        missing->setObjectName(QStringLiteral("lblNoChart"));
        missing->setAlignment(Qt::AlignCenter);
        missing->setFrameStyle(QFrame::Box | QFrame::Sunken);
        missing->setWordWrap(true);
        cmdSavePng->setEnabled(false);
        shown = missing;
    }
    return shown;
}

void StatisticsWindow::fillYears(int wanted)
{
    const QSignalBlocker blocker(cboYear);
    cboYear->clear();
    const QVector<int> years = m_statistics.years();
    for (const int year : years)
        cboYear->addItem(QString::number(year) + u'年', year);
    cboYear->addItem(DiaryStatistics::WholeDiaryLabel, DiaryStatistics::WholeDiary);
    // Else the newest year, or the whole diary when no date reads.
    cboYear->setCurrentIndex(std::max(0, cboYear->findData(wanted)));
}

int StatisticsWindow::chosenYear() const
{
    return cboYear->currentData().toInt();
}

void StatisticsWindow::diaryChanged()
{
    const int year = chosenYear();
    m_statistics.rebuild(m_tables.diary());
    fillYears(year);
    showPeriod();
}

void StatisticsWindow::cboYear_Click()
{
    showPeriod();
}

void StatisticsWindow::showPeriod()
{
    const int year = chosenYear();
    const PeriodStatistics period = m_statistics.period(year);
    lblSummary->setText(period.summary());
    showRanking(msgSongs, period.songs);
    showRanking(msgArtists, period.artists);
    showRanking(msgMembers, period.members);
    showRanking(msgPlaces, period.places);

    QStringList categories;
    QList<int> outings;
    QList<float> hours;
    if (year == DiaryStatistics::WholeDiary) {
        const QVector<YearFigures> years = m_statistics.perYear();
        for (const YearFigures &figures : years) {
            categories.append(figures.label(years.size() <= LongYearLabels));
            outings.append(figures.figures.outings);
            hours.append(figures.figures.hours);
        }
        showChart(categories, outings, hours, QStringLiteral("年別の回数と時間"));
    } else {
        const auto months = m_statistics.months(year);
        for (int month = 1; month <= 12; ++month) {
            categories.append(QString::number(month) + u'月');
            outings.append(months[month - 1].outings);
            hours.append(months[month - 1].hours);
        }
        showChart(categories, outings, hours, QStringLiteral("%1年 月別の回数と時間").arg(year));
    }
}

void StatisticsWindow::showChart(
    const QStringList &categories, const QList<int> &outings, const QList<float> &hours, const QString &title)
{
    if (m_chart)
        m_chart->show(categories, outings, hours, title);
}

void StatisticsWindow::showRanking(FlexGrid *grid, const Ranking &ranking)
{
    QList<QStringList> rows;
    for (const RankedName &name : ranking.top)
        rows.append({ QString::number(name.rank), name.name, QString::number(name.count) });
    if (ranking.moreTied > 0)
        rows.append({ QString(), QStringLiteral("ほか%1件が同数").arg(ranking.moreTied), QString() });
    grid->setRows(1);
    grid->appendRows(rows);
    // A ranking is read, not picked from: no row stands out.
    grid->setRow(0);
}

void StatisticsWindow::cmdSavePng_Click()
{
    const int year = chosenYear();
    const QString name = year == DiaryStatistics::WholeDiary ? DiaryStatistics::WholeDiaryLabel : QString::number(year);
    const QString suggested = QDir(picturesFolder()).filePath(QStringLiteral("統計-%1.png").arg(name));
    const QString chosen
        = choosers::saveFile(this, QStringLiteral("グラフを画像で保存"), suggested, QStringLiteral("PNG 画像 (*.png)"));
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!m_chart || !buffer.open(QIODevice::WriteOnly) || !m_chart->view()->grab().save(&buffer, "PNG")) {
        failurewords::report(this, textfile::failure(textfile::Fault::PictureNotMade, shown));
        return;
    }
    if (const textfile::Failure failure = textfile::replaceFile(path, bytes, false); !failure.ok()) {
        // A missing folder shows as a missing file; say which it is.
        const bool noFolder = failure.error == ENOENT && !QFileInfo(QFileInfo(path).absolutePath()).isDir();
        failurewords::report(
            this, textfile::failure(textfile::Fault::PictureNotSaved, shown, noFolder ? ENOTDIR : failure.error));
    }
}

void StatisticsWindow::cmdModori_Click()
{
    close();
}
