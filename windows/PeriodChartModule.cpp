// The module crooners-chart: the statistics window's chart, drawn with Qt Charts.

#include "windows/PeriodChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

/// Spreads 0..most, and a little room above it so that the highest bar does not touch the frame,
/// over at most five steps of 1, 2 or 5 times a power of ten, so that the axis reads in round
/// numbers. Hours beyond any float (a file's nonsense) get the smallest axis.
void setRoundRange(QValueAxis *axis, double most)
{
    const double top = std::isfinite(most) ? most * 1.1 : 0;
    double step = 1;
    for (double power = 1; top > step * 5; power *= 10) {
        for (const double factor : { 1.0, 2.0, 5.0 }) {
            step = power * factor;
            if (top <= step * 5)
                break;
        }
    }
    const double steps = std::max(1.0, std::ceil(top / step));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(0, steps * step);
}

class ChartOfPeriods : public PeriodChart
{
public:
    ChartOfPeriods(QWidget *parent, const PeriodChartFonts &fonts)
        : m_view(new QChartView(parent))
    {
        m_view->setObjectName(QStringLiteral("chtPeriod"));
        m_view->setRenderHint(QPainter::Antialiasing);

        // Built once: a period change only swaps the values, which keeps the window quick to open
        // and to switch. No animation, so the chart is final on its first paint and in a saved
        // image.
        m_chart = new QChart;
        m_chart->setAnimationOptions(QChart::NoAnimation);
        m_chart->setBackgroundRoundness(0);
        m_chart->setMargins(QMargins(4, 4, 4, 4));
        m_chart->setTitleFont(fonts.title);
        m_chart->legend()->setFont(fonts.text);
        m_chart->legend()->setAlignment(Qt::AlignTop);

        m_periodAxis = new QBarCategoryAxis;
        m_outingAxis = new QValueAxis;
        m_outingAxis->setTitleText(QStringLiteral("回数"));
        m_outingAxis->setLabelFormat(QStringLiteral("%d"));
        m_hourAxis = new QValueAxis;
        m_hourAxis->setTitleText(QStringLiteral("時間"));
        m_hourAxis->setLabelFormat(QStringLiteral("%g"));
        // The hours' grid lines would cross the outings' at other heights.
        m_hourAxis->setGridLineVisible(false);
        for (QAbstractAxis *axis : QList<QAbstractAxis *> { m_periodAxis, m_outingAxis, m_hourAxis }) {
            axis->setLabelsFont(fonts.text);
            axis->setTitleFont(fonts.text);
        }
        m_chart->addAxis(m_periodAxis, Qt::AlignBottom);
        m_chart->addAxis(m_outingAxis, Qt::AlignLeft);
        m_chart->addAxis(m_hourAxis, Qt::AlignRight);

        // Outings as bars on the left axis, hours as a line on the right one: two scales, one chart.
        auto *bars = new QBarSeries;
        m_outingBars = new QBarSet(QStringLiteral("回数"));
        bars->append(m_outingBars);
        m_chart->addSeries(bars);
        bars->attachAxis(m_periodAxis);
        bars->attachAxis(m_outingAxis);

        m_hourLine = new QLineSeries;
        m_hourLine->setName(QStringLiteral("時間"));
        m_hourLine->setPointsVisible(true);
        m_chart->addSeries(m_hourLine);
        m_hourLine->attachAxis(m_periodAxis);
        m_hourLine->attachAxis(m_hourAxis);

        // The view lets go of the chart it made for itself without deleting it.
        QChart *initial = m_view->chart();
        m_view->setChart(m_chart);
        delete initial;
    }

    QWidget *view() override { return m_view; }

    void show(const QStringList &categories, const QList<int> &outings, const QList<float> &hours,
        const QString &title) override
    {
        m_chart->setTitle(title);
        m_periodAxis->setCategories(categories);
        QList<qreal> bars;
        QList<QPointF> points;
        double mostOutings = 0;
        double mostHours = 0;
        for (int i = 0; i < categories.size(); ++i) {
            bars.append(outings[i]);
            points.append(QPointF(i, hours[i]));
            mostOutings = std::max(mostOutings, double(outings[i]));
            mostHours = std::max(mostHours, double(hours[i]));
        }
        m_outingBars->remove(0, m_outingBars->count());
        m_outingBars->append(bars);
        m_hourLine->replace(points);
        setRoundRange(m_outingAxis, mostOutings);
        setRoundRange(m_hourAxis, mostHours);
    }

private:
    QChartView *m_view;
    QChart *m_chart = nullptr;
    QBarSet *m_outingBars = nullptr;
    QLineSeries *m_hourLine = nullptr;
    QBarCategoryAxis *m_periodAxis = nullptr;
    QValueAxis *m_outingAxis = nullptr;
    QValueAxis *m_hourAxis = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT PeriodChart *crooners_makePeriodChart(QWidget *parent, const PeriodChartFonts *fonts)
{
    return new ChartOfPeriods(parent, *fonts);
}
static_assert(std::is_same_v<decltype(&crooners_makePeriodChart), MakePeriodChart>);
