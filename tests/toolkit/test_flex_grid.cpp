#include "toolkit/FlexGrid.h"

#include "toolkit/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEngine>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <memory>
#include <optional>

namespace {

/// Grows the grid by one row and writes it cell by cell, as the windows do.
void addRow(FlexGrid &grid, const QStringList &cells)
{
    grid.setRows(grid.rows() + 1);
    grid.setRow(grid.rows() - 1);
    for (int c = 0; c < cells.size(); ++c)
        grid.setTextAt(grid.rows() - 1, c, cells[c]);
}

/// Counts the paints of the widgets it watches.
class PaintCounter : public QObject
{
public:
    QHash<QObject *, int> paints;

    void watch(QWidget *widget) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

/// Runs what is pending: queued calls, layouts, paints.
void settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

Qt::Alignment alignmentOf(const QVariant &value)
{
    return Qt::Alignment(value.toInt());
}

/// An image that paints nothing but records each text painted on it with the span of x it takes.
class TextRecorder : public QImage
{
public:
    struct Text
    {
        QString text;
        qreal left;
        qreal right;
    };

    explicit TextRecorder(QSize size)
        : QImage(size, QImage::Format_ARGB32)
    {
    }

    QPaintEngine *paintEngine() const override { return &m_engine; }

    /// The span of the painted text, or nothing when no text reads exactly so.
    std::optional<Text> find(const QString &text) const
    {
        for (const Text &painted : m_engine.texts) {
            if (painted.text == text)
                return painted;
        }
        return std::nullopt;
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        Engine()
            : QPaintEngine(AllFeatures)
        {
        }

        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyTransform)
                m_transform = state.transform();
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawPath(const QPainterPath &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawTextItem(const QPointF &at, const QTextItem &item) override
        {
            const qreal left = m_transform.map(at).x();
            texts.append({ item.text(), left, left + item.width() });
        }
        Type type() const override { return User; }

        QList<Text> texts;

    private:
        QTransform m_transform;
    };

    mutable Engine m_engine;
};

} // namespace

class TestFlexGrid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FlexGrid> grid;

private Q_SLOTS:
    void init()
    {
        grid = std::make_unique<FlexGrid>();
        grid->setCols(3);
        grid->setRows(1);
        grid->setTextAt(0, 0, QStringLiteral("№"));
        grid->setTextAt(0, 1, QStringLiteral("曲名"));
        grid->setTextAt(0, 2, QStringLiteral("アーティスト名"));
    }

    void cleanup() { grid.reset(); }

    void headerTextsAreTheViewsHeader()
    {
        QAbstractItemModel *model = grid->model();
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->columnCount(), 3);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("曲名"));
        QCOMPARE(grid->textAt(0, 2), QStringLiteral("アーティスト名"));
        QVERIFY(grid->verticalHeader()->isHidden());
    }

    void growsRowByRowAndShrinksFromTheBottom()
    {
        for (int i = 1; i <= 1000; ++i)
            addRow(*grid, { QString::number(i), QStringLiteral("曲%1").arg(i), QStringLiteral("歌手%1").arg(i) });
        QCOMPARE(grid->rows(), 1001);
        QCOMPARE(grid->model()->rowCount(), 1000);
        QCOMPARE(grid->textAt(1, 1), QStringLiteral("曲1"));
        QCOMPARE(grid->textAt(1000, 2), QStringLiteral("歌手1000"));
        QCOMPARE(grid->model()->index(999, 0).data().toString(), QStringLiteral("1000"));

        grid->setRows(3);
        QCOMPARE(grid->rows(), 3);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->textAt(2, 1), QStringLiteral("曲2"));
        // Rows added again start empty, not with what was dropped.
        grid->setRows(4);
        QCOMPARE(grid->textAt(3, 1), QString());

        grid->setRows(1);
        QCOMPARE(grid->model()->rowCount(), 0);
        QCOMPARE(grid->textAt(0, 1), QStringLiteral("曲名"));
        grid->setRows(0);
        QCOMPARE(grid->rows(), 1);
    }

    void appendRowFitsTheCellsToTheColumnsAndBecomesCurrent()
    {
        grid->appendRow({ QStringLiteral("1"), QStringLiteral("A") });
        grid->appendRow({ QStringLiteral("2"), QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("extra") });
        QCOMPARE(grid->rows(), 3);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->textAt(1, 2), QString());
        QCOMPARE(grid->textAt(2, 2), QStringLiteral("b"));
        QCOMPARE(grid->textAt(2, 3), QString());
    }

    void appendRowsIsAppendRowForEachInOneInsertion()
    {
        const QList<QStringList> rows { { QStringLiteral("1"), QStringLiteral("A") },
            { QStringLiteral("2"), QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("extra") },
            { QStringLiteral("3"), QStringLiteral("C"), QStringLiteral("c") } };
        FlexGrid oneByOne;
        oneByOne.setCols(3);
        for (const QStringList &row : rows)
            oneByOne.appendRow(row);

        grid->appendRow({ QStringLiteral("0"), QStringLiteral("before") });
        QSignalSpy inserted(grid->model(), &QAbstractItemModel::rowsInserted);
        grid->appendRows(rows);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid->rows(), 5);
        QCOMPARE(grid->row(), 4);
        QCOMPARE(grid->textAt(1, 1), QStringLiteral("before"));
        for (int row = 1; row < oneByOne.rows(); ++row) {
            for (int col = 0; col < 4; ++col)
                QCOMPARE(grid->textAt(row + 1, col), oneByOne.textAt(row, col));
        }

        // Nothing to add changes nothing, not even the current row.
        grid->setRow(2);
        grid->appendRows({});
        QCOMPARE(grid->rows(), 5);
        QCOMPARE(grid->row(), 2);
    }

    void outOfRangePositionsAreClampedOrIgnored()
    {
        addRow(*grid, { QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("a") });
        grid->setRow(5);
        grid->setCol(9);
        QCOMPARE(grid->row(), 1);
        QCOMPARE(grid->col(), 2);
        grid->setRow(-1);
        QCOMPARE(grid->row(), 0);

        grid->setTextAt(2, 1, QStringLiteral("lost"));
        grid->setTextAt(1, 3, QStringLiteral("lost"));
        QCOMPARE(grid->rows(), 2);
        QCOMPARE(grid->textAt(2, 1), QString());
        QCOMPARE(grid->textAt(-1, 0), QString());

        grid->setCols(2);
        QCOMPARE(grid->col(), 1);
        QCOMPARE(grid->textAt(1, 1), QStringLiteral("A"));
        grid->setCols(3);
        QCOMPARE(grid->textAt(1, 2), QString());
        QCOMPARE(grid->textAt(0, 2), QString());
    }

    void alignmentsAndWidths()
    {
        addRow(*grid, { QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("a") });
        QAbstractItemModel *model = grid->model();
        grid->setColAlignment(0, FlexGrid::LeftTop);
        grid->setColAlignment(1, FlexGrid::LeftTop);
        grid->setColAlignment(2, FlexGrid::LeftCenter);
        QCOMPARE(alignmentOf(model->index(0, 1).data(Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(alignmentOf(model->index(0, 2).data(Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignVCenter);
        // Fixed cells follow the column's alignment until given one of their own.
        QCOMPARE(alignmentOf(model->index(0, 0).data(Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignTop);

        for (int c = 0; c < 3; ++c)
            grid->setFixedAlignment(c, FlexGrid::CenterCenter);
        QCOMPARE(alignmentOf(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)), Qt::AlignCenter);
        QCOMPARE(alignmentOf(model->index(0, 0).data(Qt::TextAlignmentRole)), Qt::AlignCenter);
        QCOMPARE(alignmentOf(model->index(0, 1).data(Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignTop);

        grid->setColWidth(1, 1500);
        QCOMPARE(grid->columnWidth(1), 100);
    }

    void cellTextIsShownWholeNeverElided_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("fits");

        QTest::newRow("row number 100") << "100" << 0 << 380 << int(FlexGrid::CenterCenter) << true;
        QTest::newRow("row number 1000") << "1000" << 0 << 380 << int(FlexGrid::CenterCenter) << true;
        QTest::newRow("count 1000") << "1000" << 1 << 380 << int(FlexGrid::CenterCenter) << true;
        QTest::newRow("rating 10") << "10" << 1 << 300 << int(FlexGrid::GridDefault) << true;
        QTest::newRow("title that fits") << "アーティスト" << 1 << 1500 << int(FlexGrid::LeftCenter) << true;
        // Only numbers are narrowed; other text keeps its shape and is cut off at the cell's edge.
        QTest::newRow("title") << "アーティスト" << 1 << 300 << int(FlexGrid::LeftCenter) << false;
    }

    void cellTextIsShownWholeNeverElided()
    {
        QFETCH(QString, text);
        QFETCH(int, col);
        QFETCH(int, twips);
        QFETCH(int, alignment);
        QFETCH(bool, fits);
        if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
            QSKIP("IPAPGothic is not installed");
        installFontSubstitutions();

        // The font the analysis window gives its grids.
        grid->setFont(msPGothic(9));
        grid->setColWidth(col, twips);
        grid->setFixedAlignment(col, alignment);
        grid->setColAlignment(col, alignment);
        grid->appendRow({});
        grid->setTextAt(1, col, text);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));

        TextRecorder recorder(grid->viewport()->size());
        grid->viewport()->render(&recorder);
        const std::optional<TextRecorder::Text> painted = recorder.find(text);
        QVERIFY2(painted, "the text was not painted as it is");
        const QRect cell = grid->visualRect(grid->model()->index(0, col));
        QCOMPARE(painted->left >= cell.left() && painted->right <= cell.left() + cell.width(), fits);

        // A text cut off shows whole in a tooltip.
        QHelpEvent hover(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid->viewport(), &hover);
        QCOMPARE(QToolTip::text(), fits ? QString() : text);
    }

    void clickingACellMakesItCurrent()
    {
        for (int i = 1; i <= 3; ++i)
            addRow(*grid, { QString::number(i), QStringLiteral("曲%1").arg(i), QStringLiteral("歌手%1").arg(i) });
        grid->setRow(0);
        grid->resize(400, 300);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QSignalSpy clicked(grid.get(), &FlexGrid::cellClicked);

        const QRect cell = grid->visualRect(grid->model()->index(1, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 2);
        QCOMPARE(clicked.at(0).at(1).toInt(), 2);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->col(), 2);
        QCOMPARE(grid->textAt(grid->row(), grid->col()), QStringLiteral("歌手2"));

        // The header neither sorts nor changes the current cell.
        QHeaderView *header = grid->horizontalHeader();
        const QPoint section(header->sectionViewportPosition(1) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(grid->row(), 2);
        QCOMPARE(grid->textAt(1, 1), QStringLiteral("曲1"));
    }

    // A window filled before it shows paints its grid and list once: the grid's current cell is
    // already set when it shows, and a window becoming active or inactive repaints them only
    // where the palette makes the two look different.
    void aWindowPaintsItsGridAndListOnce_data()
    {
        QTest::addColumn<bool>("inactiveLooksOther");
        QTest::newRow("palette alike active or not") << false;
        QTest::newRow("inactive selection greyed") << true;
    }

    void aWindowPaintsItsGridAndListOnce()
    {
        QFETCH(bool, inactiveLooksOther);
        QWidget window;
        if (inactiveLooksOther) {
            QPalette palette = window.palette();
            palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
            window.setPalette(palette);
        }
        auto *layout = new QHBoxLayout(&window);
        // Focus, which the views show, stays out of them.
        auto *focused = new QLineEdit(&window);
        layout->addWidget(focused);
        focused->setFocus();
        auto *songs = new FlexGrid(&window);
        songs->setCols(3);
        for (int i = 1; i <= 3; ++i)
            addRow(*songs, { QString::number(i), QStringLiteral("曲%1").arg(i), QStringLiteral("歌手%1").arg(i) });
        songs->setCol(1);
        auto *members = new QListWidget(&window);
        members->addItems({ QStringLiteral("一郎"), QStringLiteral("花子") });
        members->setCurrentRow(1);
        repaintOnActivationOnlyWhenSeen(members);
        layout->addWidget(songs);
        layout->addWidget(members);
        PaintCounter counter;
        counter.watch(songs->viewport());
        counter.watch(songs->horizontalHeader()->viewport());
        counter.watch(members->viewport());

        window.show();
        QCOMPARE(songs->currentIndex(), songs->model()->index(2, 1));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        settle();
        if (!inactiveLooksOther) {
            QCOMPARE(counter.paints.value(songs->viewport()), 1);
            QCOMPARE(counter.paints.value(songs->horizontalHeader()->viewport()), 1);
            QCOMPARE(counter.paints.value(members->viewport()), 1);
        }

        // Another window opening makes this one inactive.
        counter.paints.clear();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        settle();
        QCOMPARE(counter.paints.value(songs->viewport()) > 0, inactiveLooksOther);
        QCOMPARE(counter.paints.value(members->viewport()) > 0, inactiveLooksOther);
    }

    void theCurrentRowIsScrolledIntoView()
    {
        grid->resize(300, 200);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        for (int i = 1; i <= 200; ++i)
            addRow(*grid, { QString::number(i), QStringLiteral("曲%1").arg(i), QString() });
        QCoreApplication::processEvents();
        const QRect last = grid->visualRect(grid->model()->index(199, 1));
        QVERIFY(grid->viewport()->rect().contains(last));
        // Whole rows only: the top one is not cut in half under the header.
        QCOMPARE(grid->visualRect(grid->indexAt(QPoint(1, 1))).top(), 0);

        grid->showFromTop();
        QCoreApplication::processEvents();
        QCOMPARE(grid->row(), 1);
        QCOMPARE(grid->indexAt(QPoint(1, 1)).row(), 0);
    }
};

QTEST_MAIN(TestFlexGrid)
#include "test_flex_grid.moc"
