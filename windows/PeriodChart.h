#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

/// The statistics window's chart: outings as bars on a left axis and hours as a line on a right
/// one, over the periods named. Made by the module crooners-chart, the only part of the program
/// that needs Qt Charts (see modules/Modules.h).
class PeriodChart
{
public:
    virtual ~PeriodChart() = default;

    /// The view showing the chart, a child of the parent the chart was made in.
    virtual QWidget *view() = 0;

    /// Shows outings[i] and hours[i] for each of the categories, under the title.
    virtual void show(
        const QStringList &categories, const QList<int> &outings, const QList<float> &hours, const QString &title)
        = 0;
};

/// The fonts of the chart: its title, and its legend, axis titles and labels.
struct PeriodChartFonts
{
    QFont title;
    QFont text;
};

/// What the module exports as MakePeriodChartFunction: a chart made in parent, owned by the caller
/// (the view by parent).
using MakePeriodChart = PeriodChart *(*)(QWidget *parent, const PeriodChartFonts *fonts);
inline constexpr char ChartModule[] = "crooners-chart";
inline constexpr char MakePeriodChartFunction[] = "crooners_makePeriodChart";
