#include "bench/WindowReplica.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextBrowser>
#include <QToolButton>
#include <QValueAxis>

namespace {

QPixmap picture(const QJsonValue &text)
{
    QPixmap pixmap;
    pixmap.loadFromData(QByteArray::fromBase64(text.toString().toLatin1()), "PNG");
    return pixmap;
}

QFont font(const QJsonValue &text)
{
    QFont font;
    font.fromString(text.toString());
    return font;
}

/// The cells of a copied grid, the first columns in the colours of buttons as the program's are.
class CellModel : public QAbstractTableModel
{
public:
    CellModel(const QJsonObject &grid, const QPalette &palette, QObject *parent)
        : QAbstractTableModel(parent)
        , m_cols(grid[QStringLiteral("cols")].toInt())
        , m_fixed(grid[QStringLiteral("fixedColumns")].toInt())
        , m_button(palette.button())
        , m_buttonText(palette.buttonText())
    {
        for (const QJsonValue row : grid[QStringLiteral("cells")].toArray()) {
            QStringList texts;
            for (const QJsonValue cell : row.toArray())
                texts.append(cell.toString());
            m_cells.append(texts);
        }
        for (const QJsonValue text : grid[QStringLiteral("headers")].toArray())
            m_headers.append(text.toString());
        for (const QJsonValue code : grid[QStringLiteral("alignments")].toArray())
            m_alignments.append(code.toInt());
        for (const QJsonValue code : grid[QStringLiteral("headerAlignments")].toArray())
            m_headerAlignments.append(code.toInt());
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_cells.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        switch (role) {
        case Qt::DisplayRole:
            return m_cells[index.row()].value(index.column());
        case Qt::TextAlignmentRole:
            return m_alignments.value(index.column()) != 0 ? QVariant(m_alignments[index.column()]) : QVariant();
        case Qt::BackgroundRole:
            return index.column() < m_fixed ? QVariant(m_button) : QVariant();
        case Qt::ForegroundRole:
            return index.column() < m_fixed ? QVariant(m_buttonText) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::DisplayRole)
            return m_headers.value(section);
        if (role == Qt::TextAlignmentRole && m_headerAlignments.value(section) != 0)
            return m_headerAlignments[section];
        return {};
    }

private:
    int m_cols;
    int m_fixed;
    QBrush m_button;
    QBrush m_buttonText;
    QList<QStringList> m_cells;
    QStringList m_headers;
    QList<int> m_alignments;
    QList<int> m_headerAlignments;
};

QWidget *buildTable(const QJsonObject &grid, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setFont(font(grid[QStringLiteral("font")]));
    view->setModel(new CellModel(grid, view->palette(), view));
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(grid[QStringLiteral("rowHeight")].toInt());
    view->horizontalHeader()->setMinimumSectionSize(grid[QStringLiteral("minimumSection")].toInt());
    view->horizontalHeader()->setFont(font(grid[QStringLiteral("headerFont")]));
    view->horizontalHeader()->setVisible(grid[QStringLiteral("headerShown")].toBool());
    const QJsonArray widths = grid[QStringLiteral("widths")].toArray();
    for (int col = 0; col < widths.size(); ++col)
        view->setColumnWidth(col, widths[col].toInt());
    view->setShowGrid(grid[QStringLiteral("showGrid")].toBool());
    view->setWordWrap(false);
    view->setTextElideMode(Qt::TextElideMode(grid[QStringLiteral("elide")].toInt()));
    view->setSelectionMode(QAbstractItemView::SelectionMode(grid[QStringLiteral("selectionMode")].toInt()));
    view->setSelectionBehavior(QAbstractItemView::SelectionBehavior(grid[QStringLiteral("selectionBehavior")].toInt()));
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarPolicy(grid[QStringLiteral("horizontalPolicy")].toInt()));
    view->setVerticalScrollBarPolicy(Qt::ScrollBarPolicy(grid[QStringLiteral("verticalPolicy")].toInt()));
    const QJsonArray current = grid[QStringLiteral("current")].toArray();
    view->selectionModel()->setCurrentIndex(
        view->model()->index(current[0].toInt(), current[1].toInt()), QItemSelectionModel::NoUpdate);
    for (const QJsonValue cell : grid[QStringLiteral("selected")].toArray()) {
        view->selectionModel()->select(
            view->model()->index(cell[0].toInt(), cell[1].toInt()), QItemSelectionModel::Select);
    }
    const int top = grid[QStringLiteral("top")].toInt();
    if (top > 0)
        view->scrollTo(view->model()->index(top, std::max(0, grid[QStringLiteral("left")].toInt())),
            QAbstractItemView::PositionAtTop);
    return view;
}

QWidget *buildList(const QJsonObject &list, QWidget *parent)
{
    auto *view = new QListWidget(parent);
    QStringList items;
    for (const QJsonValue item : list[QStringLiteral("items")].toArray())
        items.append(item.toString());
    view->addItems(items);
    view->setUniformItemSizes(list[QStringLiteral("uniform")].toBool());
    view->setSelectionMode(QAbstractItemView::SelectionMode(list[QStringLiteral("selectionMode")].toInt()));
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarPolicy(list[QStringLiteral("horizontalPolicy")].toInt()));
    view->setCurrentRow(list[QStringLiteral("current")].toInt(), QItemSelectionModel::NoUpdate);
    for (const QJsonValue row : list[QStringLiteral("selected")].toArray())
        view->item(row.toInt())->setSelected(true);
    if (const int top = list[QStringLiteral("top")].toInt(); top > 0)
        view->scrollToItem(view->item(top), QAbstractItemView::PositionAtTop);
    return view;
}

QWidget *buildChart(const QJsonObject &description, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setTitle(description[QStringLiteral("title")].toString());
    chart->setTitleFont(font(description[QStringLiteral("titleFont")]));
    chart->setBackgroundRoundness(description[QStringLiteral("roundness")].toDouble());
    const QJsonArray margins = description[QStringLiteral("margins")].toArray();
    chart->setMargins(QMargins(margins[0].toInt(), margins[1].toInt(), margins[2].toInt(), margins[3].toInt()));
    QBarCategoryAxis *categories = nullptr;
    QList<QValueAxis *> values;
    qsizetype count = 0;
    for (const QJsonValue axis : description[QStringLiteral("axes")].toArray()) {
        QAbstractAxis *made = nullptr;
        if (axis[QStringLiteral("category")].toBool()) {
            categories = new QBarCategoryAxis;
            QStringList names;
            for (const QJsonValue name : axis[QStringLiteral("categories")].toArray())
                names.append(name.toString());
            count = names.size();
            categories->setCategories(names);
            chart->addAxis(categories, Qt::AlignBottom);
            made = categories;
        } else {
            auto *value = new QValueAxis;
            value->setRange(axis[QStringLiteral("min")].toDouble(), axis[QStringLiteral("max")].toDouble());
            value->setLabelFormat(axis[QStringLiteral("format")].toString());
            chart->addAxis(value, values.isEmpty() ? Qt::AlignLeft : Qt::AlignRight);
            values.append(value);
            made = value;
        }
        made->setTitleText(axis[QStringLiteral("title")].toString());
        made->setLabelsFont(font(axis[QStringLiteral("font")]));
        made->setTitleFont(font(axis[QStringLiteral("font")]));
    }
    for (const QJsonValue series : description[QStringLiteral("series")].toArray()) {
        QAbstractSeries *made = nullptr;
        QValueAxis *axis = nullptr;
        if (series[QStringLiteral("bars")].isArray()) {
            auto *bars = new QBarSeries;
            for (const QJsonValue label : series[QStringLiteral("bars")].toArray()) {
                auto *set = new QBarSet(label.toString());
                axis = values.value(0);
                for (qsizetype index = 0; index < count; ++index)
                    set->append(axis ? axis->max() / 2 : 1);
                bars->append(set);
            }
            made = bars;
        } else {
            auto *line = new QLineSeries;
            line->setName(series[QStringLiteral("line")].toString());
            line->setPointsVisible(series[QStringLiteral("points")].toBool());
            axis = values.value(1, values.value(0));
            for (qsizetype index = 0; index < count; ++index)
                line->append(qreal(index), axis ? axis->max() / 2 : 1);
            made = line;
        }
        chart->addSeries(made);
        if (categories)
            made->attachAxis(categories);
        if (axis)
            made->attachAxis(axis);
    }
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

/// The colours the control was given, if any.
void setColours(QWidget *widget, const QJsonObject &description)
{
    const QJsonObject colours = description[QStringLiteral("palette")].toObject();
    if (colours.isEmpty())
        return;
    QPalette palette = widget->palette();
    for (auto colour = colours.begin(); colour != colours.end(); ++colour)
        palette.setColor(QPalette::ColorRole(colour.key().toInt()), QColor(colour.value().toString()));
    widget->setPalette(palette);
}

void setFrame(QFrame *frame, const QJsonObject &description)
{
    frame->setFrameStyle(description[QStringLiteral("frame")].toInt());
    frame->setLineWidth(description[QStringLiteral("lineWidth")].toInt());
}

QWidget *buildControl(const QJsonObject &control, QWidget *parent, QWidget *&focus);

void buildChildren(const QJsonObject &description, QWidget *parent, QWidget *&focus)
{
    for (const QJsonValue child : description[QStringLiteral("children")].toArray())
        buildControl(child.toObject(), parent, focus);
}

template <typename Button> Button *buildButton(const QJsonObject &control, QWidget *parent)
{
    auto *button = new Button(parent);
    button->setText(control[QStringLiteral("text")].toString());
    const QJsonArray icon = control[QStringLiteral("icon")].toArray();
    if (!icon.isEmpty()) {
        button->setIcon(QIcon(picture(icon[0])));
        button->setIconSize(QSize(control[QStringLiteral("iconW")].toInt(), control[QStringLiteral("iconH")].toInt()));
    }
    button->setCheckable(control[QStringLiteral("checkable")].toBool());
    button->setChecked(control[QStringLiteral("checked")].toBool());
    return button;
}

QWidget *buildControl(const QJsonObject &control, QWidget *parent, QWidget *&focus)
{
    const QString kind = control[QStringLiteral("kind")].toString();
    QWidget *made = nullptr;
    if (kind == QLatin1String("table")) {
        made = buildTable(control, parent);
    } else if (kind == QLatin1String("list")) {
        made = buildList(control, parent);
    } else if (kind == QLatin1String("text")) {
        auto *text = new QTextBrowser(parent);
        text->setHtml(control[QStringLiteral("html")].toString());
        text->verticalScrollBar()->setValue(control[QStringLiteral("value")].toInt());
        made = text;
    } else if (kind == QLatin1String("chart")) {
        made = buildChart(control, parent);
    } else if (kind == QLatin1String("combo")) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(control[QStringLiteral("editable")].toBool());
        QStringList items;
        for (const QJsonValue item : control[QStringLiteral("items")].toArray())
            items.append(item.toString());
        combo->addItems(items);
        combo->setCurrentIndex(control[QStringLiteral("current")].toInt());
        if (combo->isEditable())
            combo->setEditText(control[QStringLiteral("text")].toString());
        made = combo;
    } else if (kind == QLatin1String("edit")) {
        auto *edit = new QLineEdit(control[QStringLiteral("text")].toString(), parent);
        edit->setReadOnly(control[QStringLiteral("readOnly")].toBool());
        edit->setAlignment(Qt::Alignment(control[QStringLiteral("alignment")].toInt()));
        if (control[QStringLiteral("clearButton")].toBool()) {
            // As the program does: the style's own picture, not a search of the desktop's icon theme.
            const bool aware = QApplication::desktopSettingsAware();
            QApplication::setDesktopSettingsAware(false);
            edit->setClearButtonEnabled(true);
            QApplication::setDesktopSettingsAware(aware);
        }
        made = edit;
    } else if (kind == QLatin1String("scroll")) {
        auto *bar
            = new QScrollBar(control[QStringLiteral("vertical")].toBool() ? Qt::Vertical : Qt::Horizontal, parent);
        bar->setRange(control[QStringLiteral("min")].toInt(), control[QStringLiteral("max")].toInt());
        bar->setPageStep(control[QStringLiteral("page")].toInt());
        bar->setValue(control[QStringLiteral("value")].toInt());
        made = bar;
    } else if (kind == QLatin1String("radio")) {
        made = buildButton<QRadioButton>(control, parent);
    } else if (kind == QLatin1String("check")) {
        made = buildButton<QCheckBox>(control, parent);
    } else if (kind == QLatin1String("tool")) {
        auto *tool = buildButton<QToolButton>(control, parent);
        tool->setToolButtonStyle(Qt::ToolButtonStyle(control[QStringLiteral("style")].toInt()));
        tool->setAutoRaise(control[QStringLiteral("autoRaise")].toBool());
        made = tool;
    } else if (kind == QLatin1String("push")) {
        auto *push = buildButton<QPushButton>(control, parent);
        push->setDefault(control[QStringLiteral("default")].toBool());
        push->setFlat(control[QStringLiteral("flat")].toBool());
        made = push;
    } else if (kind == QLatin1String("label")) {
        auto *label = new QLabel(control[QStringLiteral("text")].toString(), parent);
        label->setAlignment(Qt::Alignment(control[QStringLiteral("alignment")].toInt()));
        label->setWordWrap(control[QStringLiteral("wrap")].toBool());
        setFrame(label, control);
        if (const QString shown = control[QStringLiteral("picture")].toString(); !shown.isEmpty())
            label->setPixmap(picture(shown));
        made = label;
    } else if (kind == QLatin1String("group")) {
        auto *group = new QGroupBox(control[QStringLiteral("title")].toString(), parent);
        group->setFlat(control[QStringLiteral("flat")].toBool());
        buildChildren(control, group, focus);
        made = group;
    } else {
        auto *frame = new QFrame(parent);
        setFrame(frame, control);
        buildChildren(control, frame, focus);
        made = frame;
    }
    made->setObjectName(control[QStringLiteral("name")].toString());
    made->setGeometry(control[QStringLiteral("x")].toInt(), control[QStringLiteral("y")].toInt(),
        control[QStringLiteral("w")].toInt(), control[QStringLiteral("h")].toInt());
    made->setFont(font(control[QStringLiteral("font")]));
    made->setEnabled(control[QStringLiteral("enabled")].toBool());
    made->setAutoFillBackground(control[QStringLiteral("fill")].toBool());
    setColours(made, control);
    if (control[QStringLiteral("focus")].toBool())
        focus = made;
    return made;
}

} // namespace

void prepareReplicas(const QJsonObject &description)
{
    const QJsonObject substitutions = description[QStringLiteral("substitutions")].toObject();
    for (auto family = substitutions.begin(); family != substitutions.end(); ++family) {
        QStringList substitutes;
        for (const QJsonValue substitute : family.value().toArray())
            substitutes.append(substitute.toString());
        QFont::insertSubstitutions(family.key(), substitutes);
    }
}

QWidget *buildReplica(const QJsonObject &description)
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setWindowTitle(description[QStringLiteral("title")].toString());
    window->setFixedSize(description[QStringLiteral("w")].toInt(), description[QStringLiteral("h")].toInt());
    window->setFont(font(description[QStringLiteral("font")]));
    setColours(window, description);
    QIcon icon;
    for (const QJsonValue shown : description[QStringLiteral("icons")].toArray())
        icon.addPixmap(picture(shown));
    window->setWindowIcon(icon);
    QWidget *focus = nullptr;
    buildChildren(description, window, focus);
    if (focus)
        focus->setFocus();
    return window;
}
