#include "toolkit/FlexGrid.h"

#include <QTest>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

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

} // namespace

class TestGridSort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbersCompareAsNumbers()
    {
        QVERIFY(compareGridValues(QStringLiteral("10"), QStringLiteral("9")) > 0);
        QVERIFY(compareGridValues(QStringLiteral("-3"), QStringLiteral("2.5")) < 0);
        QVERIFY(compareGridValues(QStringLiteral("2.5"), QStringLiteral("10")) < 0);
        QCOMPARE(compareGridValues(QStringLiteral(" 7 "), QStringLiteral("7")), 0);
        QCOMPARE(compareGridValues(QStringLiteral("2.50"), QStringLiteral("+2.5")), 0);
    }

    void numbersComeBeforeTexts()
    {
        QVERIFY(compareGridValues(QStringLiteral("999"), QStringLiteral("A")) < 0);
        QVERIFY(compareGridValues(QStringLiteral("9"), QString()) < 0);
        // Only a whole-text number counts: these are texts, compared byte by byte.
        QVERIFY(compareGridValues(QStringLiteral("2"), QStringLiteral("1a")) < 0);
        QVERIFY(compareGridValues(QStringLiteral("10回"), QStringLiteral("9回")) < 0);
        QVERIFY(compareGridValues(QStringLiteral("1e3"), QStringLiteral("5")) > 0);
        QVERIFY(compareGridValues(QStringLiteral("１０"), QStringLiteral("9")) > 0);
    }

    void textsCompareByCodePage932Bytes()
    {
        // 81 7C < 81 7E < 81 9B < 81 9D; by code points "－" (U+FF0D) would come last.
        const QStringList ascending
            = { QStringLiteral("－"), QStringLiteral("×"), QStringLiteral("○"), QStringLiteral("◎") };
        for (int i = 0; i + 1 < ascending.size(); ++i)
            QVERIFY2(compareGridValues(ascending[i], ascending[i + 1]) < 0, qPrintable(ascending[i]));
        // Half-width katakana is a single byte above the lead bytes of hiragana.
        QVERIFY(compareGridValues(QStringLiteral("ｱ"), QStringLiteral("あ")) > 0);
        QVERIFY(compareGridValues(QStringLiteral("あい"), QStringLiteral("あ")) > 0);
        // A byte held from a damaged file sorts as that byte.
        QVERIFY(compareGridValues(QString(QChar(0xDC85)), QStringLiteral("◎")) > 0);
        QVERIFY(compareGridValues(QString(QChar(0xDC80)), QStringLiteral("◎")) < 0);
    }

    void unencodableTextsComeLast()
    {
        QVERIFY(compareGridValues(QStringLiteral("😀"), QStringLiteral("ﾝ")) > 0);
        QVERIFY(compareGridValues(QStringLiteral("😀"), QStringLiteral("😀")) == 0);
    }

    void comparisonIsAntisymmetric()
    {
        const QStringList values = { QStringLiteral("10"), QStringLiteral("9"), QString(), QStringLiteral("-1"),
            QStringLiteral("abc"), QStringLiteral("◎"), QStringLiteral("－"), QStringLiteral("😀"), QStringLiteral("ｱ"),
            QStringLiteral(" 3 ") };
        for (const QString &a : values) {
            for (const QString &b : values)
                QCOMPARE(sign(compareGridValues(a, b)), -sign(compareGridValues(b, a)));
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
