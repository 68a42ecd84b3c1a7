#pragma once

#include "statistics/DiaryStatistics.h"
#include "windows/PeriodChart.h"

#include <QWidget>

#include <memory>

class FlexGrid;
class QComboBox;
class QLabel;
class QPushButton;
class SharedTables;

/// The statistics window (frmStats): outings and hours by month of a year, or by year over the
/// whole diary, as a chart; the year's summary; and the most sung songs, artists, companions and
/// places.
class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsWindow(SharedTables &tables, QWidget *parent = nullptr);

private:
    /// The diary changed: count it afresh, keeping the chosen year when it is still there.
    void diaryChanged();
    void buildControls();
    /// The chart's view, or in its place what says why there is none.
    QWidget *buildChart();
    FlexGrid *makeRankingGrid(const char *name, const QString &heading);
    /// Lists the years, newest first, then 全期間, and chooses wanted when listed, else the first.
    void fillYears(int wanted);
    /// The year chosen, or DiaryStatistics::WholeDiary.
    int chosenYear() const;
    void showPeriod();
    void showChart(
        const QStringList &categories, const QList<int> &outings, const QList<float> &hours, const QString &title);
    void showRanking(FlexGrid *grid, const Ranking &ranking);
    void cboYear_Click();
    void cmdSavePng_Click();
    void cmdModori_Click();

    SharedTables &m_tables;
    DiaryStatistics m_statistics;

    QComboBox *cboYear = nullptr;
    QLabel *lblSummary = nullptr;
    FlexGrid *msgSongs = nullptr;
    FlexGrid *msgArtists = nullptr;
    FlexGrid *msgMembers = nullptr;
    FlexGrid *msgPlaces = nullptr;
    QPushButton *cmdSavePng = nullptr;
    QPushButton *cmdModori = nullptr;

    /// Null when the chart module could not be loaded.
    std::unique_ptr<PeriodChart> m_chart;
};
