#include "toolkit/FlexGrid.h"

#include "textfile/Cp932.h"
#include "textfile/Records.h"
#include "toolkit/Twips.h"

#include <QAbstractTableModel>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

/// The grid's alignment codes: the code divided by 3 gives the horizontal place (left, centre,
/// right), its remainder the vertical one (top, centre, bottom). Anything else keeps Qt's default.
QVariant alignmentFlags(int code)
{
    if (code < 0 || code > 8)
        return {};
    static const Qt::Alignment horizontal[] = { Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight };
    static const Qt::Alignment vertical[] = { Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom };
    return int((horizontal[code / 3] | vertical[code % 3]).toInt());
}

/// What the generic sorts compare, worked out once per cell. Numbers come first, then texts
/// by their code page 932 bytes, then (never in data read from our files) texts code page 932
/// cannot hold, by their UTF-16 code units.
struct GenericKey
{
    enum Kind
    {
        Number,
        Cp932Text,
        OtherText
    };
    Kind kind = Number;
    double number = 0;
    QByteArray bytes;
    QString text;
};

GenericKey genericKey(const QString &value)
{
    GenericKey key;
    if (const std::optional<double> number = textfile::decimalNumber(value)) {
        key.number = *number;
        return key;
    }
    if (cp932::encode(value, &key.bytes)) {
        key.kind = GenericKey::Cp932Text;
    } else {
        key.kind = GenericKey::OtherText;
        key.text = value;
    }
    return key;
}

int compareBytes(const QByteArray &a, const QByteArray &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0) {
        // memcmp compares as unsigned char, which is the byte order we want.
        const int result = std::memcmp(a.constData(), b.constData(), size_t(common));
        if (result != 0)
            return result;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int compareKeys(const GenericKey &a, const GenericKey &b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    switch (a.kind) {
    case GenericKey::Number:
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    case GenericKey::Cp932Text:
        return compareBytes(a.bytes, b.bytes);
    case GenericKey::OtherText:
        return a.text.compare(b.text);
    }
    return 0;
}

/// Room in pixels each side of a cell's text: a classic grid's, not the style's wider margin, which
/// leaves a three-digit number no room in a 25-pixel column. Header texts keep the style's margin,
/// which also sets the header's height.
constexpr int TextMargin = 1;

class GridStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        // Item views keep this plus one pixel clear each side of a cell's text.
        if (metric == PM_FocusFrameHMargin)
            return TextMargin - 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

/// One style for every grid, kept as long as the application: a widget does not own its style.
QStyle *tightStyle()
{
    static QPointer<GridStyle> style;
    if (!style) {
        style = new GridStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

/// Fixed-column cells look like header cells and never show as selected. Text too wide for its
/// cell is clipped at the cell's edges, except a number, which is narrowed to fit: cut off, 1000
/// would read as another number.
class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data().toString();
        const qreal room = option.rect.width() - 2 * TextMargin;
        // Only numbers are narrowed, so only they are measured: measuring lays out the text as
        // painting it does once more.
        if (room <= 0 || !textfile::decimalNumber(text)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const qreal width = QFontMetricsF(option.font).horizontalAdvance(text);
        if (width <= room) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem narrowed = option;
        const int stretch
            = option.font.stretch() != QFont::AnyStretch ? option.font.stretch() : int(QFont::Unstretched);
        narrowed.font.setStretch(std::max(1, int(stretch * room / width)));
        narrowed.fontMetrics = QFontMetrics(narrowed.font);
        QStyledItemDelegate::paint(painter, narrowed, index);
    }

    /// A text cut off at its cell's edge shows whole in a tooltip; a number never is cut.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        const QString text = index.data().toString();
        if (event->type() != QEvent::ToolTip || textfile::decimalNumber(text)
            || QFontMetricsF(option.font).horizontalAdvance(text) <= option.rect.width() - 2 * TextMargin)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
        return true;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() != 0)
            return;
        option->state &= ~QStyle::State_Selected;
        option->backgroundBrush = option->palette.button();
        option->palette.setBrush(QPalette::Text, option->palette.buttonText());
    }
};

/// Takes activation changes away from a view's viewport while its palette is the same for active
/// and inactive windows; the view's own handler would repaint it regardless. The viewport itself
/// repaints on them only when the palette differs, and holds no widgets to pass them on to.
class ActivationFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WindowActivate && event->type() != QEvent::WindowDeactivate)
            return false;
        const auto *viewport = static_cast<QWidget *>(watched);
        return viewport->palette().isEqual(QPalette::Active, QPalette::Inactive)
            && !viewport->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    }
};

} // namespace

void repaintOnActivationOnlyWhenSeen(QAbstractItemView *view)
{
    // Installed after the view's own filter of its viewport, so it sees the events first.
    view->viewport()->installEventFilter(new ActivationFilter(view));
}

/// The cells of a grid. Model row r is grid row r + 1; grid row 0 is the horizontal header.
class FlexGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_cells.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return m_cells[size_t(index.row())][index.column()];
        if (role == Qt::TextAlignmentRole)
            return index.column() == 0 ? fixedAlignment(0) : alignmentFlags(m_colAlignment[index.column()]);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
            return {};
        if (role == Qt::DisplayRole)
            return m_header[section];
        if (role == Qt::TextAlignmentRole)
            return fixedAlignment(section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int cols() const { return m_cols; }

    void setCols(int cols)
    {
        if (cols == m_cols)
            return;
        const bool growing = cols > m_cols;
        if (growing)
            beginInsertColumns({}, m_cols, cols - 1);
        else
            beginRemoveColumns({}, cols, m_cols - 1);
        m_cols = cols;
        for (QStringList &row : m_cells)
            row.resize(cols);
        m_header.resize(cols);
        m_colAlignment.resize(cols, FlexGrid::GridDefault);
        m_fixedAlignment.resize(cols, FlexGrid::GridDefault);
        if (growing)
            endInsertColumns();
        else
            endRemoveColumns();
    }

    int dataRows() const { return int(m_cells.size()); }

    void setDataRows(int rows)
    {
        const int old = dataRows();
        if (rows > old) {
            beginInsertRows({}, old, rows - 1);
            m_cells.resize(size_t(rows), emptyRow());
            endInsertRows();
        } else if (rows < old) {
            beginRemoveRows({}, rows, old - 1);
            m_cells.resize(size_t(rows));
            endRemoveRows();
        }
    }

    void appendRows(const QList<QStringList> &rows)
    {
        const int at = dataRows();
        beginInsertRows({}, at, at + int(rows.size()) - 1);
        for (QStringList row : rows) {
            row.resize(m_cols);
            m_cells.push_back(std::move(row));
        }
        endInsertRows();
    }

    QString cell(int dataRow, int col) const { return m_cells[size_t(dataRow)][col]; }

    void setCell(int dataRow, int col, const QString &text)
    {
        m_cells[size_t(dataRow)][col] = text;
        const QModelIndex changed = index(dataRow, col);
        Q_EMIT dataChanged(changed, changed, { Qt::DisplayRole });
    }

    QString header(int col) const { return m_header[col]; }

    void setHeader(int col, const QString &text)
    {
        m_header[col] = text;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
    }

    void setColAlignment(int col, int code)
    {
        m_colAlignment[size_t(col)] = code;
        columnAlignmentChanged(col);
    }

    void setFixedAlignment(int col, int code)
    {
        m_fixedAlignment[size_t(col)] = code;
        columnAlignmentChanged(col);
    }

    /// Puts data row order[i] at position i, keeping the view's persistent indexes on their rows.
    void reorder(const std::vector<int> &order)
    {
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> newPosition(order.size());
        std::vector<QStringList> sorted;
        sorted.reserve(order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            newPosition[size_t(order[i])] = int(i);
            sorted.push_back(std::move(m_cells[size_t(order[i])]));
        }
        m_cells = std::move(sorted);
        const QModelIndexList persistent = persistentIndexList();
        for (const QModelIndex &old : persistent)
            changePersistentIndex(old, index(newPosition[size_t(old.row())], old.column()));
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    void columnAlignmentChanged(int col)
    {
        if (dataRows() > 0)
            Q_EMIT dataChanged(index(0, col), index(dataRows() - 1, col), { Qt::TextAlignmentRole });
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
    }

    QStringList emptyRow() const
    {
        QStringList row;
        row.resize(m_cols);
        return row;
    }

    /// Fixed cells take the column's fixed alignment, or its ordinary one when none was set.
    QVariant fixedAlignment(int col) const
    {
        const int code = m_fixedAlignment[size_t(col)];
        return alignmentFlags(code != FlexGrid::GridDefault ? code : m_colAlignment[size_t(col)]);
    }

    int m_cols = 0;
    std::vector<QStringList> m_cells;
    QStringList m_header;
    std::vector<int> m_colAlignment;
    std::vector<int> m_fixedAlignment;
};

FlexGrid::FlexGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new FlexGridModel(this))
{
    // A new grid is a header row over one data column beside the fixed column.
    m_model->setCols(2);
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setStyle(tightStyle());
    setTextElideMode(Qt::ElideNone);
    horizontalHeader()->setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    // Tab passes on to the next control, as in every other control of a window; the arrow keys
    // move between cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    // Number and mark columns are narrower than Qt's default minimum section width.
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Scrolled a row at a time, as a classic grid is: no row shows cut in half under the header.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    fitRowHeightToFont();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QAbstractItemView::clicked, this, &FlexGrid::onClicked);
    repaintOnActivationOnlyWhenSeen(this);
    repaintOnActivationOnlyWhenSeen(horizontalHeader());
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::cols() const
{
    return m_model->cols();
}

void FlexGrid::setCols(int cols)
{
    m_model->setCols(std::max(cols, 1));
    setCol(m_col);
}

int FlexGrid::rows() const
{
    return m_model->dataRows() + 1;
}

void FlexGrid::setRows(int rows)
{
    m_model->setDataRows(std::max(rows, 1) - 1);
    setRow(m_row);
}

void FlexGrid::setRow(int row)
{
    const int clamped = std::clamp(row, 0, rows() - 1);
    if (clamped == m_row)
        return;
    m_row = clamped;
    scheduleViewSync();
}

void FlexGrid::setCol(int col)
{
    const int clamped = std::clamp(col, 0, cols() - 1);
    if (clamped == m_col)
        return;
    m_col = clamped;
    scheduleViewSync();
}

QString FlexGrid::textAt(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return {};
    return row == 0 ? m_model->header(col) : m_model->cell(row - 1, col);
}

void FlexGrid::setTextAt(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return;
    if (row == 0)
        m_model->setHeader(col, text);
    else
        m_model->setCell(row - 1, col, text);
}

void FlexGrid::appendRow(const QStringList &cells)
{
    appendRows({ cells });
}

void FlexGrid::appendRows(const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return;
    m_model->appendRows(rows);
    setRow(this->rows() - 1);
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col >= 0 && col < cols())
        horizontalHeader()->resizeSection(col, twipsToPixels(std::max(twips, 0)));
}

void FlexGrid::stretchCol(int col)
{
    if (col >= 0 && col < cols())
        horizontalHeader()->setSectionResizeMode(col, QHeaderView::Stretch);
}

void FlexGrid::showFromTop()
{
    setRow(1);
    verticalScrollBar()->setValue(0);
}

void FlexGrid::setColAlignment(int col, int alignment)
{
    if (col >= 0 && col < cols())
        m_model->setColAlignment(col, alignment);
}

void FlexGrid::setFixedAlignment(int col, int alignment)
{
    if (col >= 0 && col < cols())
        m_model->setFixedAlignment(col, alignment);
}

void FlexGrid::sort(int mode)
{
    const int n = m_model->dataRows();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    if (mode == GenericAscending || mode == GenericDescending) {
        std::vector<GenericKey> keys;
        keys.reserve(size_t(n));
        for (int r = 0; r < n; ++r)
            keys.push_back(genericKey(m_model->cell(r, m_col)));
        const int direction = mode == GenericAscending ? 1 : -1;
        std::stable_sort(order.begin(), order.end(),
            [&](int a, int b) { return direction * compareKeys(keys[size_t(a)], keys[size_t(b)]) < 0; });
    } else if (mode == NumericDescending) {
        std::vector<double> keys;
        keys.reserve(size_t(n));
        for (int r = 0; r < n; ++r)
            keys.push_back(textfile::leadingNumber(m_model->cell(r, m_col)).value_or(0));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[size_t(a)] > keys[size_t(b)]; });
    } else {
        return;
    }
    m_model->reorder(order);
    scheduleViewSync();
}

void FlexGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitRowHeightToFont();
    QTableView::changeEvent(event);
}

void FlexGrid::showEvent(QShowEvent *event)
{
    if (m_syncPending)
        syncView();
    QTableView::showEvent(event);
}

void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    keepTopRowWhole();
}

void FlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    keepTopRowWhole();
}

void FlexGrid::keepTopRowWhole()
{
    const QScrollBar *bar = verticalScrollBar();
    if (verticalScrollMode() != ScrollPerItem || bar->value() == 0 || bar->value() != bar->maximum())
        return;
    if (verticalHeader()->offset() != verticalHeader()->sectionPosition(bar->value())) {
        verticalHeader()->setOffsetToSectionPosition(bar->value());
        viewport()->update();
    }
}

void FlexGrid::fitRowHeightToFont()
{
    // Rows as tight as a classic grid's: one line of text with a little air, not the style's
    // roomy default.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    // Shift+F10 opens the current cell's menu, as the menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint cell = inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, cell, mapToGlobal(cell), event->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before) {
        m_row = after.row() + 1;
        m_col = after.column();
    }
}

void FlexGrid::onClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_row = index.row() + 1;
    m_col = index.column();
    Q_EMIT cellClicked(m_row, m_col);
}

void FlexGrid::scheduleViewSync()
{
    if (m_syncPending)
        return;
    m_syncPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_syncPending)
                syncView();
        },
        Qt::QueuedConnection);
}

void FlexGrid::syncView()
{
    m_syncPending = false;
    if (m_row < 1) {
        selectionModel()->clear();
        return;
    }
    // Rows added since the last layout must count in the scroll range before the cell is made
    // current, which scrolls it into view while the grid is shown.
    executeDelayedItemsLayout();
    selectionModel()->setCurrentIndex(m_model->index(m_row - 1, m_col), QItemSelectionModel::ClearAndSelect);
}
