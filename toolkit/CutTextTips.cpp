#include "toolkit/CutTextTips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolTip>

namespace {

struct CutText
{
    QString text;
    QRect rect; ///< where it shows, in the watched widget
};

/// The item at pos of the view whose viewport this is, when the view shows it cut.
CutText cutItem(const QAbstractItemView *view, QPoint pos)
{
    const QModelIndex index = view->indexAt(pos);
    const QString text = index.data().toString();
    const QRect shown = view->visualRect(index).intersected(view->viewport()->rect());
    if (text.isEmpty() || shown.isEmpty())
        return {};
    // The width the view's delegate asks for the text with its margins, as it draws it.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.rect = QRect(0, 0, view->fontMetrics().horizontalAdvance(text), shown.height());
    const int wanted = view->itemDelegateForIndex(index)->sizeHint(option, index).width();
    return wanted > shown.width() ? CutText { text, shown } : CutText {};
}

/// The text of a line edit or a one-line label, when wider than its room.
CutText cutLine(const QWidget *widget, const QString &text, int room)
{
    return widget->fontMetrics().horizontalAdvance(text) > room ? CutText { text, widget->rect() } : CutText {};
}

/// A line edit keeps two pixels clear each side of its text.
CutText cutEdit(const QLineEdit *edit)
{
    return cutLine(edit, edit->text(), edit->contentsRect().marginsRemoved(edit->textMargins()).width() - 4);
}

CutText cutTextAt(QWidget *widget, QPoint pos)
{
    if (const auto *view = qobject_cast<const QAbstractItemView *>(widget->parentWidget());
        view && view->viewport() == widget)
        return cutItem(view, pos);
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return cutEdit(edit);
    if (const auto *box = qobject_cast<const QComboBox *>(widget); box && box->lineEdit()) {
        const CutText cut = cutEdit(box->lineEdit());
        return cut.text.isEmpty() ? cut : CutText { cut.text, box->rect() };
    }
    if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->wordWrap())
        return cutLine(label, label->text(), label->contentsRect().width());
    return {};
}

class CutTextTip : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const auto *help = static_cast<QHelpEvent *>(event);
        const CutText cut = cutTextAt(widget, help->pos());
        if (cut.text.isEmpty())
            return false;
        QToolTip::showText(help->globalPos(), cut.text, widget, cut.rect);
        return true;
    }
};

} // namespace

void tipCutText(QWidget *control)
{
    auto *tip = new CutTextTip(control);
    if (auto *view = qobject_cast<QAbstractItemView *>(control)) {
        view->viewport()->installEventFilter(tip);
    } else if (auto *box = qobject_cast<QComboBox *>(control)) {
        // The box's text, and the items of its list.
        box->installEventFilter(tip);
        box->view()->viewport()->installEventFilter(tip);
    } else {
        control->installEventFilter(tip);
    }
}
