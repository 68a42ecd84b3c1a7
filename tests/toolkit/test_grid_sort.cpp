#include "toolkit/FlexGrid.h"

#include <QTest>

namespace {

/// A grid with the columns number, title, mark and count, one row per entry, numbered 1 to n.
void fill(FlexGrid &grid, const QList<QStringList> &rows)
{
    grid.setCols(4);
    grid.setRows(1);
    for (const QStringList &row : rows)
        grid.appendRow(QStringList { QString::number(grid.rows()) } + row);
}

QStringList column(const FlexGrid &grid, int col)
{
    QStringList values;
    for (int r = 1; r < grid.rows(); ++r)
        values << grid.textAt(r, col);
    return values;
}

/// Where the generic sorts put a against b, seen through a grid of the rows a, b sorted both ways:
/// -1 when a comes first, 1 when b does, 0 when they tie (a stable sort keeps a first both ways),
/// 2 when the two directions disagree.
int sortedOrder(const QString &a, const QString &b)
{
    FlexGrid grid;
    const auto swaps = [&](FlexGrid::SortMode mode) {
        fill(grid, { { QStringLiteral("a"), a }, { QStringLiteral("b"), b } });
        grid.setCol(2);
        grid.sort(mode);
        return grid.textAt(1, 1) == QStringLiteral("b");
    };
    const bool ascendingSwaps = swaps(FlexGrid::GenericAscending);
    const bool descendingSwaps = swaps(FlexGrid::GenericDescending);
    if (ascendingSwaps == descendingSwaps)
        return ascendingSwaps ? 2 : 0;
    return ascendingSwaps ? 1 : -1;
}

} // namespace

class TestGridSort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void genericSortsOrderTwoValues_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("numbers by value") << QStringLiteral("10") << QStringLiteral("9") << 1;
        QTest::newRow("negative number") << QStringLiteral("-3") << QStringLiteral("2.5") << -1;
        QTest::newRow("fraction") << QStringLiteral("2.5") << QStringLiteral("10") << -1;
        QTest::newRow("blanks around a number") << QStringLiteral(" 7 ") << QStringLiteral("7") << 0;
        QTest::newRow("sign and trailing zero") << QStringLiteral("2.50") << QStringLiteral("+2.5") << 0;
        QTest::newRow("number before text") << QStringLiteral("999") << QStringLiteral("A") << -1;
        QTest::newRow("number before blank") << QStringLiteral("9") << QString() << -1;
        // Only a whole-text number counts: the following are texts, compared byte by byte.
        QTest::newRow("number before digits and letter") << QStringLiteral("2") << QStringLiteral("1a") << -1;
        QTest::newRow("digits and kanji") << QStringLiteral("10回") << QStringLiteral("9回") << -1;
        QTest::newRow("exponent") << QStringLiteral("1e3") << QStringLiteral("5") << 1;
        QTest::newRow("full-width digits") << QStringLiteral("１０") << QStringLiteral("9") << 1;
        // 81 7C < 81 7E < 81 9B < 81 9D; by code points "－" (U+FF0D) would come last.
        QTest::newRow("minus before cross") << QStringLiteral("－") << QStringLiteral("×") << -1;
        QTest::newRow("cross before circle") << QStringLiteral("×") << QStringLiteral("○") << -1;
        QTest::newRow("circle before double circle") << QStringLiteral("○") << QStringLiteral("◎") << -1;
        // Half-width katakana is a single byte above the lead bytes of hiragana.
        QTest::newRow("half-width katakana after hiragana") << QStringLiteral("ｱ") << QStringLiteral("あ") << 1;
        QTest::newRow("longer text after its start") << QStringLiteral("あい") << QStringLiteral("あ") << 1;
        // A byte held from a damaged file sorts as that byte.
        QTest::newRow("held byte 85") << QString(QChar(0xDC85)) << QStringLiteral("◎") << 1;
        QTest::newRow("held byte 80") << QString(QChar(0xDC80)) << QStringLiteral("◎") << -1;
        QTest::newRow("unencodable text last") << QStringLiteral("😀") << QStringLiteral("ﾝ") << 1;
        QTest::newRow("unencodable texts tie") << QStringLiteral("😀") << QStringLiteral("😀") << 0;
    }

    void genericSortsOrderTwoValues()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(sortedOrder(a, b), order);
    }

    void orderDoesNotDependOnWhichValueComesFirst()
    {
        const QStringList values = { QStringLiteral("10"), QStringLiteral("9"), QString(), QStringLiteral("-1"),
            QStringLiteral("abc"), QStringLiteral("◎"), QStringLiteral("－"), QStringLiteral("😀"), QStringLiteral("ｱ"),
            QStringLiteral(" 3 ") };
        for (const QString &a : values) {
            for (const QString &b : values) {
                const int order = sortedOrder(a, b);
                QVERIFY(order != 2);
                QCOMPARE(order, -sortedOrder(b, a));
            }
        }
    }

    void genericSortsAreStableAndCarryTheWholeRow()
    {
        FlexGrid grid;
        fill(grid,
            { { QStringLiteral("A"), QStringLiteral("○"), QStringLiteral("3") },
                { QStringLiteral("B"), QStringLiteral("◎"), QStringLiteral("10") },
                { QStringLiteral("C"), QStringLiteral("－"), QStringLiteral("9") },
                { QStringLiteral("D"), QStringLiteral("○"), QStringLiteral("2") },
                { QStringLiteral("E"), QStringLiteral("×"), QStringLiteral("10") } });
        grid.setTextAt(0, 2, QStringLiteral("シャウト"));

        grid.setCol(2);
        grid.sort(FlexGrid::GenericDescending);
        QCOMPARE(column(grid, 2), QStringList({ "◎", "○", "○", "×", "－" }));
        QCOMPARE(column(grid, 1), QStringList({ "B", "A", "D", "E", "C" }));
        QCOMPARE(column(grid, 0), QStringList({ "2", "1", "4", "5", "3" }));
        QCOMPARE(column(grid, 3), QStringList({ "10", "3", "2", "10", "9" }));
        QCOMPARE(grid.textAt(0, 2), QStringLiteral("シャウト"));

        grid.sort(FlexGrid::GenericAscending);
        QCOMPARE(column(grid, 1), QStringList({ "C", "E", "A", "D", "B" }));

        grid.setCol(3);
        grid.sort(FlexGrid::GenericAscending);
        QCOMPARE(column(grid, 3), QStringList({ "2", "3", "9", "10", "10" }));
        // The two tens keep the order the previous sort left them in.
        QCOMPARE(column(grid, 1), QStringList({ "D", "A", "C", "E", "B" }));
        QCOMPARE(grid.row(), grid.rows() - 1);
        QCOMPARE(grid.col(), 3);

        // Enough rows that an unstable sort of the standard library would reorder the ties.
        QList<QStringList> many;
        QStringList expected;
        for (int key = 0; key < 3; ++key) {
            for (int i = key; i < 40; i += 3)
                expected << QStringLiteral("R%1").arg(i, 2, 10, QLatin1Char('0'));
        }
        for (int i = 0; i < 40; ++i)
            many.append({ QStringLiteral("R%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i % 3) });
        FlexGrid tied;
        fill(tied, many);
        tied.setCol(2);
        tied.sort(FlexGrid::GenericAscending);
        QCOMPARE(column(tied, 1), expected);
    }

    void numericDescendingTakesEveryValueAsANumber()
    {
        FlexGrid grid;
        fill(grid,
            { { QStringLiteral("A"), {}, QStringLiteral("9") }, { QStringLiteral("B"), {}, QStringLiteral("10") },
                { QStringLiteral("C"), {}, QStringLiteral("2") }, { QStringLiteral("D"), {}, QString() },
                { QStringLiteral("E"), {}, QStringLiteral("3回") }, { QStringLiteral("F"), {}, QStringLiteral("x") },
                { QStringLiteral("G"), {}, QStringLiteral("-1") } });
        grid.setCol(3);
        grid.sort(FlexGrid::NumericDescending);
        // Blank and "x" both count as 0 and keep their order.
        QCOMPARE(column(grid, 1), QStringList({ "B", "A", "E", "C", "D", "F", "G" }));
        QCOMPARE(column(grid, 0), QStringList({ "2", "1", "5", "3", "4", "6", "7" }));
    }

    void sortingAnEmptyGridOrAnUnknownModeChangesNothing()
    {
        FlexGrid grid;
        fill(grid, {});
        grid.setCol(1);
        grid.sort(FlexGrid::GenericAscending);
        QCOMPARE(grid.rows(), 1);

        fill(grid, { { QStringLiteral("B") }, { QStringLiteral("A") } });
        grid.setCol(1);
        grid.sort(3);
        QCOMPARE(column(grid, 1), QStringList({ "B", "A" }));
    }
};

QTEST_MAIN(TestGridSort)
#include "test_grid_sort.moc"
