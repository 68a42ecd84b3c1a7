#include "windows/StatisticsWindow.h"

#include "tables/SharedTables.h"
#include "tests/statistics/KnownDiary.h"
#include "tests/support/CopiedTest.h"
#include "tests/support/ScriptedChoices.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QBarCategoryAxis>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestStatisticsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsThePeriodChosenAndFollowsTheDiary();
    void savesTheChartAsPng();
    void countsWithoutTheChartModule();

private:
    QStringList names(const char *gridName) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<StatisticsWindow> m_window;
};

void TestStatisticsWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The window's place is kept here, not in the user's settings.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
    QVERIFY(knowndiary::book().rewrite(QDir(m_dir->path())).ok());
    m_tables = std::make_unique<SharedTables>(TablesReading(QDir(m_dir->path())).finish());
    m_window = std::make_unique<StatisticsWindow>(*m_tables);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestStatisticsWindow::cleanup()
{
    m_window.reset();
    m_tables.reset();
    m_dir.reset();
}

QStringList TestStatisticsWindow::names(const char *gridName) const
{
    const auto *grid = m_window->findChild<FlexGrid *>(gridName);
    QStringList texts;
    for (int row = 1; grid && row < grid->rows(); ++row)
        texts.append(grid->textAt(row, 1));
    return texts;
}

void TestStatisticsWindow::showsThePeriodChosenAndFollowsTheDiary()
{
    auto *year = m_window->findChild<QComboBox *>("cboYear");
    auto *summary = m_window->findChild<QLabel *>("lblSummary");
    auto *chart = m_window->findChild<QChartView *>("chtPeriod");
    QVERIFY(year && summary && chart);
    QCOMPARE(m_window->objectName(), QStringLiteral("frmStats"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("統計"));
    const auto items = [year] {
        QStringList texts;
        for (int i = 0; i < year->count(); ++i)
            texts.append(year->itemText(i));
        return texts;
    };
    const auto categories = [chart] {
        return static_cast<QBarCategoryAxis *>(chart->chart()->axes(Qt::Horizontal).first())->categories();
    };

    // The newest year first, its twelve months in the chart.
    QCOMPARE(items(), QStringList({ "2026年", "2025年", "2024年", "全期間" }));
    QVERIFY(summary->text().startsWith(QStringLiteral("2026年: 2回　0.3時間")));
    QCOMPARE(categories().size(), 12);
    QCOMPARE(names("msgSongs"),
        QStringList({ "A / X", "B / X", "C / X", "D / X", "E / X", "F / X", "G / X", "H / X", "I / X", "J / X",
            "ほか2件が同数" }));
    // A ranking is read, not picked from: no row stands out.
    QCoreApplication::processEvents();
    QVERIFY(!m_window->findChild<FlexGrid *>("msgSongs")->currentIndex().isValid());

    year->setCurrentIndex(year->findText(QStringLiteral("全期間")));
    QVERIFY(summary->text().startsWith(QStringLiteral("全期間: 8回（うち日付不明 2回）")));
    QCOMPARE(categories(), QStringList({ "2024年", "2025年", "2026年", "日付不明" }));
    QCOMPARE(names("msgArtists"), QStringList({ "X", "YOASOBI", "米津玄師", "ヨネヅ" }));
    QCOMPARE(names("msgMembers"), QStringList({ "佐藤", "鈴木", "田中", "高橋" }));
    QCOMPARE(names("msgPlaces"), QStringList({ "駅前", "本町", "港" }));

    // A new year read from the file is listed; the choice stays.
    year->setCurrentIndex(year->findText(QStringLiteral("2025年")));
    QVERIFY(DiaryBook(m_tables->diary())
                .append(m_tables->dataFolder(),
                    knowndiary::outing("2027/1/1", "1", "港", { "佐藤" }, { { "群青", "YOASOBI" } }))
                .ok());
    QVERIFY(m_tables->readAgain(SharedTables::Diary).ok());
    QCOMPARE(items(), QStringList({ "2027年", "2026年", "2025年", "2024年", "全期間" }));
    QCOMPARE(year->currentText(), QStringLiteral("2025年"));
    QCOMPARE(names("msgPlaces"), QStringList({ "駅前", "本町" }));

    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
}

void TestStatisticsWindow::savesTheChartAsPng()
{
    ScriptedChoices choices;
    ScriptedMessages shown;
    auto *chart = m_window->findChild<QChartView *>("chtPeriod");
    auto *save = m_window->findChild<QPushButton *>("cmdSavePng");
    QVERIFY(chart && save);

    const QString path = m_dir->filePath(QStringLiteral("グラフ.png"));
    choices.queueChoice(path);
    save->click();
    QCOMPARE(choices.asked().size(), 1);
    QCOMPARE(QFileInfo(choices.asked().first().suggested).fileName(), QStringLiteral("統計-2026.png"));
    QCOMPARE(choices.asked().first().filter, QStringLiteral("PNG 画像 (*.png)"));
    QCOMPARE(shown.shown(), QList<ShownMessage>());
    const QImage image(path, "PNG");
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), chart->size() * chart->devicePixelRatio());

    const QString nowhere = m_dir->filePath(QStringLiteral("ない/グラフ.png"));
    choices.queueChoice(nowhere);
    save->click();
    QCOMPARE(shown.shown(),
        QList<ShownMessage>({ { "画像を保存できませんでした\n" + nowhere + "\nフォルダが見つかりません", "保存エラー",
            MessageButtons::Ok, MessageIcon::Warning } }));
    QVERIFY(!QFileInfo::exists(nowhere));

    // Cancelled: nothing written, nothing said.
    shown.clear();
    save->click();
    QCOMPARE(choices.asked().size(), 3);
    QCOMPARE(shown.shown(), QList<ShownMessage>());
}

void TestStatisticsWindow::countsWithoutTheChartModule()
{
    if (!copiedtest::isCopyWithoutModules()) {
        QString output;
        QVERIFY2(copiedtest::runWithoutModules(QTest::currentTestFunction(), &output) == 0, qPrintable(output));
        return;
    }
    // The window opened all the same: the counts and rankings in place, why the chart is missing
    // where it would be, and nothing to save as a picture.
    QVERIFY(!m_window->findChild<QChartView *>("chtPeriod"));
    const auto *missing = m_window->findChild<QLabel *>("lblNoChart");
    QVERIFY(missing && missing->isVisible());
    QVERIFY2(missing->text().startsWith(QStringLiteral("グラフを表示できません\n"))
            && missing->text().contains(QStringLiteral("libcrooners-chart.so")),
        qPrintable(missing->text()));
    QVERIFY(!m_window->findChild<QPushButton *>("cmdSavePng")->isEnabled());
    QVERIFY(!m_window->findChild<QLabel *>("lblSummary")->text().isEmpty());
    QVERIFY(!names("msgSongs").isEmpty());
}

QTEST_MAIN(TestStatisticsWindow)
#include "test_statistics_window.moc"
