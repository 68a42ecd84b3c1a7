#include "bench/WindowReplica.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

namespace {

QString pngText(const QPixmap &pixmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

QJsonArray iconPictures(const QIcon &icon, const QSize &size)
{
    QJsonArray pictures;
    if (!icon.isNull())
        pictures.append(pngText(icon.pixmap(size)));
    return pictures;
}

/// The colours a control was given, by role; none when it keeps its parent's palette.
QJsonObject paletteColours(const QWidget *widget)
{
    QJsonObject colours;
    if (!widget->testAttribute(Qt::WA_SetPalette))
        return colours;
    for (const QPalette::ColorRole role : { QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text,
             QPalette::Button, QPalette::ButtonText, QPalette::Highlight, QPalette::HighlightedText }) {
        colours.insert(QString::number(role), widget->palette().color(role).name(QColor::HexArgb));
    }
    return colours;
}

QJsonArray rowsOf(const QAbstractItemModel *model, int column)
{
    QJsonArray rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, column).data().toString());
    return rows;
}

QJsonArray selectedCells(const QAbstractItemView *view)
{
    QJsonArray cells;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        cells.append(QJsonArray { index.row(), index.column() });
    return cells;
}

void describeTable(const QTableView *view, QJsonObject &out)
{
    const QAbstractItemModel *model = view->model();
    QJsonArray cells;
    for (int row = 0; row < model->rowCount(); ++row) {
        QJsonArray texts;
        for (int col = 0; col < model->columnCount(); ++col)
            texts.append(model->index(row, col).data().toString());
        cells.append(texts);
    }
    QJsonArray widths;
    QJsonArray headers;
    QJsonArray alignments;
    QJsonArray headerAlignments;
    for (int col = 0; col < model->columnCount(); ++col) {
        widths.append(view->columnWidth(col));
        headers.append(model->headerData(col, Qt::Horizontal).toString());
        alignments.append(model->rowCount() > 0 ? model->index(0, col).data(Qt::TextAlignmentRole).toInt() : 0);
        headerAlignments.append(model->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
    }
    out.insert(QStringLiteral("cols"), model->columnCount());
    out.insert(QStringLiteral("cells"), cells);
    out.insert(QStringLiteral("widths"), widths);
    out.insert(QStringLiteral("headers"), headers);
    out.insert(QStringLiteral("alignments"), alignments);
    out.insert(QStringLiteral("headerAlignments"), headerAlignments);
    out.insert(QStringLiteral("headerShown"), !view->horizontalHeader()->isHidden());
    out.insert(QStringLiteral("headerFont"), view->horizontalHeader()->font().toString());
    out.insert(QStringLiteral("minimumSection"), view->horizontalHeader()->minimumSectionSize());
    out.insert(QStringLiteral("rowHeight"), view->verticalHeader()->defaultSectionSize());
    // The program's grids draw their first column as a fixed column, in the colours of buttons.
    out.insert(QStringLiteral("fixedColumns"), view->inherits("FlexGrid") ? 1 : 0);
    out.insert(QStringLiteral("showGrid"), view->showGrid());
    out.insert(QStringLiteral("elide"), int(view->textElideMode()));
    out.insert(QStringLiteral("selectionMode"), int(view->selectionMode()));
    out.insert(QStringLiteral("selectionBehavior"), int(view->selectionBehavior()));
    out.insert(QStringLiteral("current"), QJsonArray { view->currentIndex().row(), view->currentIndex().column() });
    out.insert(QStringLiteral("selected"), selectedCells(view));
    out.insert(QStringLiteral("top"), view->rowAt(0));
    out.insert(QStringLiteral("left"), view->columnAt(0));
    out.insert(QStringLiteral("horizontalPolicy"), int(view->horizontalScrollBarPolicy()));
    out.insert(QStringLiteral("verticalPolicy"), int(view->verticalScrollBarPolicy()));
}

void describeList(const QListView *view, QJsonObject &out)
{
    out.insert(QStringLiteral("items"), rowsOf(view->model(), 0));
    out.insert(QStringLiteral("current"), view->currentIndex().row());
    QJsonArray selected;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        selected.append(index.row());
    out.insert(QStringLiteral("selected"), selected);
    out.insert(QStringLiteral("selectionMode"), int(view->selectionMode()));
    out.insert(QStringLiteral("top"), view->indexAt(QPoint(1, 1)).row());
    out.insert(QStringLiteral("uniform"), view->uniformItemSizes());
    out.insert(QStringLiteral("horizontalPolicy"), int(view->horizontalScrollBarPolicy()));
}

/// The chart of a chart view, read through Qt's object model (the benchmark does not link Qt
/// Charts, which the program loads only with its statistics window).
void describeChart(const QGraphicsView *view, QJsonObject &out)
{
    const QObject *chart = nullptr;
    for (QGraphicsItem *item : view->scene()->items()) {
        if (const QGraphicsObject *object = item->toGraphicsObject(); object && object->inherits("QChart"))
            chart = object;
    }
    if (!chart)
        return;
    out.insert(QStringLiteral("title"), chart->property("title").toString());
    out.insert(QStringLiteral("titleFont"), chart->property("titleFont").value<QFont>().toString());
    out.insert(QStringLiteral("roundness"), chart->property("backgroundRoundness").toDouble());
    const QMargins margins = chart->property("margins").value<QMargins>();
    out.insert(
        QStringLiteral("margins"), QJsonArray { margins.left(), margins.top(), margins.right(), margins.bottom() });
    QJsonArray axes;
    QJsonArray series;
    for (const QObject *data : chart->children()) {
        for (const QObject *part : data->children()) {
            if (part->inherits("QBarCategoryAxis") || part->inherits("QValueAxis")) {
                axes.append(QJsonObject {
                    { QStringLiteral("categories"),
                        QJsonArray::fromStringList(part->property("categories").toStringList()) },
                    { QStringLiteral("min"), part->property("min").toDouble() },
                    { QStringLiteral("max"), part->property("max").toDouble() },
                    { QStringLiteral("title"), part->property("titleText").toString() },
                    { QStringLiteral("format"), part->property("labelFormat").toString() },
                    { QStringLiteral("font"), part->property("labelsFont").value<QFont>().toString() },
                    { QStringLiteral("category"), part->inherits("QBarCategoryAxis") },
                });
            } else if (part->inherits("QAbstractBarSeries")) {
                QStringList labels;
                for (const QObject *set : part->children()) {
                    if (set->inherits("QBarSet"))
                        labels.append(set->property("label").toString());
                }
                series.append(QJsonObject { { QStringLiteral("bars"), QJsonArray::fromStringList(labels) } });
            } else if (part->inherits("QXYSeries")) {
                series.append(QJsonObject { { QStringLiteral("line"), part->property("name").toString() },
                    { QStringLiteral("points"), part->property("pointsVisible").toBool() } });
            }
        }
    }
    out.insert(QStringLiteral("axes"), axes);
    out.insert(QStringLiteral("series"), series);
}

QJsonObject describeControl(const QWidget *widget);

QJsonArray describeChildren(const QWidget *parent)
{
    QJsonArray children;
    for (const QObject *object : parent->children()) {
        const auto *child = qobject_cast<const QWidget *>(object);
        if (child && !child->isWindow() && child->isVisibleTo(parent))
            children.append(describeControl(child));
    }
    return children;
}

QJsonObject describeControl(const QWidget *widget)
{
    QJsonObject out {
        { QStringLiteral("name"), widget->objectName() },
        { QStringLiteral("x"), widget->x() },
        { QStringLiteral("y"), widget->y() },
        { QStringLiteral("w"), widget->width() },
        { QStringLiteral("h"), widget->height() },
        { QStringLiteral("font"), widget->font().toString() },
        { QStringLiteral("palette"), paletteColours(widget) },
        { QStringLiteral("enabled"), widget->isEnabled() },
        { QStringLiteral("focus"), widget->window()->focusWidget() == widget },
        { QStringLiteral("fill"), widget->autoFillBackground() },
    };
    const auto kind = [&](const char *name) { out.insert(QStringLiteral("kind"), QLatin1String(name)); };
    if (const auto *table = qobject_cast<const QTableView *>(widget)) {
        kind("table");
        describeTable(table, out);
    } else if (const auto *list = qobject_cast<const QListView *>(widget)) {
        kind("list");
        describeList(list, out);
    } else if (const auto *text = qobject_cast<const QTextEdit *>(widget)) {
        kind("text");
        out.insert(QStringLiteral("html"), text->toHtml());
        out.insert(QStringLiteral("value"), text->verticalScrollBar()->value());
    } else if (const auto *chart = qobject_cast<const QGraphicsView *>(widget)) {
        kind("chart");
        describeChart(chart, out);
    } else if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        kind("combo");
        QJsonArray items;
        for (int index = 0; index < combo->count(); ++index)
            items.append(combo->itemText(index));
        out.insert(QStringLiteral("items"), items);
        out.insert(QStringLiteral("current"), combo->currentIndex());
        out.insert(QStringLiteral("editable"), combo->isEditable());
        out.insert(QStringLiteral("text"), combo->currentText());
    } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        kind("edit");
        out.insert(QStringLiteral("text"), edit->text());
        out.insert(QStringLiteral("readOnly"), edit->isReadOnly());
        out.insert(QStringLiteral("alignment"), int(edit->alignment()));
        out.insert(QStringLiteral("clearButton"), edit->isClearButtonEnabled());
    } else if (const auto *bar = qobject_cast<const QScrollBar *>(widget)) {
        kind("scroll");
        out.insert(QStringLiteral("vertical"), bar->orientation() == Qt::Vertical);
        out.insert(QStringLiteral("min"), bar->minimum());
        out.insert(QStringLiteral("max"), bar->maximum());
        out.insert(QStringLiteral("value"), bar->value());
        out.insert(QStringLiteral("page"), bar->pageStep());
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        kind(qobject_cast<const QRadioButton *>(widget)     ? "radio"
                : qobject_cast<const QCheckBox *>(widget)   ? "check"
                : qobject_cast<const QToolButton *>(widget) ? "tool"
                                                            : "push");
        out.insert(QStringLiteral("text"), button->text());
        out.insert(QStringLiteral("icon"), iconPictures(button->icon(), button->iconSize()));
        out.insert(QStringLiteral("iconW"), button->iconSize().width());
        out.insert(QStringLiteral("iconH"), button->iconSize().height());
        out.insert(QStringLiteral("checkable"), button->isCheckable());
        out.insert(QStringLiteral("checked"), button->isChecked());
        if (const auto *tool = qobject_cast<const QToolButton *>(widget)) {
            out.insert(QStringLiteral("style"), int(tool->toolButtonStyle()));
            out.insert(QStringLiteral("autoRaise"), tool->autoRaise());
        }
        if (const auto *push = qobject_cast<const QPushButton *>(widget)) {
            out.insert(QStringLiteral("default"), push->isDefault());
            out.insert(QStringLiteral("flat"), push->isFlat());
        }
    } else if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        kind("label");
        out.insert(QStringLiteral("text"), label->text());
        out.insert(QStringLiteral("alignment"), int(label->alignment()));
        out.insert(QStringLiteral("wrap"), label->wordWrap());
        out.insert(QStringLiteral("frame"), label->frameStyle());
        out.insert(QStringLiteral("lineWidth"), label->lineWidth());
        out.insert(QStringLiteral("picture"), label->pixmap().isNull() ? QString() : pngText(label->pixmap()));
    } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        kind("group");
        out.insert(QStringLiteral("title"), group->title());
        out.insert(QStringLiteral("flat"), group->isFlat());
        out.insert(QStringLiteral("children"), describeChildren(widget));
    } else {
        kind("frame");
        const auto *frame = qobject_cast<const QFrame *>(widget);
        out.insert(QStringLiteral("frame"), frame ? frame->frameStyle() : 0);
        out.insert(QStringLiteral("lineWidth"), frame ? frame->lineWidth() : 0);
        out.insert(QStringLiteral("children"), describeChildren(widget));
    }
    return out;
}

} // namespace

QJsonObject describeWindow(const QWidget *window)
{
    // Families the program maps to installed fonts, so that the copy draws with the same fonts.
    QJsonObject substitutions;
    for (const QString &family : QFont::substitutions())
        substitutions.insert(family, QJsonArray::fromStringList(QFont::substitutes(family)));
    QJsonArray icons;
    for (const QSize &size : window->windowIcon().availableSizes())
        icons.append(pngText(window->windowIcon().pixmap(size)));
    return QJsonObject {
        { QStringLiteral("title"), window->windowTitle() },
        { QStringLiteral("w"), window->width() },
        { QStringLiteral("h"), window->height() },
        { QStringLiteral("font"), window->font().toString() },
        { QStringLiteral("palette"), paletteColours(window) },
        { QStringLiteral("icons"), icons },
        { QStringLiteral("substitutions"), substitutions },
        { QStringLiteral("children"), describeChildren(window) },
    };
}
