#pragma once

#include "statistics/DiaryStatistics.h"

#include <QWidget>

class FlexGrid;
class QBarCategoryAxis;
class QBarSet;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;
struct SharedTables;

/// The statistics window (frmStats): outings and hours by month of a year, or by year over the
/// whole diary, as a chart; the year's summary; and the most sung songs, artists, companions and
/// places.
class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsWindow(SharedTables &tables, QWidget *parent = nullptr);

public Q_SLOTS:
    /// The diary was read again: count it afresh, keeping the chosen year when it is still there.
    void diaryChanged();

private:
    void buildControls();
    void buildChart();
    FlexGrid *makeRankingGrid(const char *name, const QString &heading, int left, int width);
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
    QChartView *chtPeriod = nullptr;
    FlexGrid *msgSongs = nullptr;
    FlexGrid *msgArtists = nullptr;
    FlexGrid *msgMembers = nullptr;
    FlexGrid *msgPlaces = nullptr;
    QPushButton *cmdSavePng = nullptr;
    QPushButton *cmdModori = nullptr;

    QChart *m_chart = nullptr;
    QBarSet *m_outingBars = nullptr;
    QLineSeries *m_hourLine = nullptr;
    QBarCategoryAxis *m_periodAxis = nullptr;
    QValueAxis *m_outingAxis = nullptr;
    QValueAxis *m_hourAxis = nullptr;
};
