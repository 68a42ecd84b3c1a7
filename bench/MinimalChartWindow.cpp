#include "bench/MinimalWindows.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QValueAxis>

QWidget *makeMinimalChartWindow()
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QLatin1String(MinimalSecondaryName));
    window->setWindowTitle(QStringLiteral("最小のグラフ画面"));
    window->setFixedSize(800, 608);

    auto *pick = new QComboBox(window);
    pick->addItem(QStringLiteral("全期間"));
    pick->setGeometry(56, 10, 113, 23);
    (new QLabel(QStringLiteral("回数"), window))->setGeometry(8, 42, 784, 24);

    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("月別の回数と時間"));
    auto *categories = new QBarCategoryAxis;
    auto *counts = new QValueAxis;
    auto *hours = new QValueAxis;
    counts->setTitleText(QStringLiteral("回数"));
    hours->setTitleText(QStringLiteral("時間"));
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    chart->addAxis(hours, Qt::AlignRight);
    auto *bars = new QBarSeries;
    bars->append(new QBarSet(QStringLiteral("回数")));
    chart->addSeries(bars);
    bars->attachAxis(categories);
    bars->attachAxis(counts);
    auto *line = new QLineSeries;
    line->setName(QStringLiteral("時間"));
    chart->addSeries(line);
    line->attachAxis(categories);
    line->attachAxis(hours);
    auto *view = new QChartView(chart, window);
    view->setGeometry(8, 72, 784, 240);

    for (int index = 0; index < 4; ++index)
        makeMinimalGrid(window, 3)->setGeometry(8 + 196 * index, 320, 190, 244);
    (new QPushButton(QStringLiteral("画像を保存…"), window))->setGeometry(8, 570, 100, 28);
    makeMinimalCloseButton(window, QStringLiteral("戻る"))->setGeometry(700, 570, 100, 28);
    return window;
}
