#pragma once

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QList>
#include <QShortcut>
#include <QWidget>

/// Keyboard shortcuts of our windows. A shortcut belongs to one window and acts wherever the focus
/// is in it, except in an open list (a pick list, a completion, a menu), which keeps Esc, and in a
/// control that claims the key through QEvent::ShortcutOverride.
namespace keys {

namespace detail {

/// Esc over an open list closes only the list. A pick list does not take activation from its
/// window and, closing itself, leaves the key unclaimed, so the window's Esc would close it all.
class OpenListKeepsEscape : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QWidget *list = QApplication::activePopupWidget();
        if (!list || event->type() != QEvent::ShortcutOverride
            || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return QObject::eventFilter(watched, event);
        // A pick list is closed by its box, which puts its own state back.
        if (auto *box = qobject_cast<QComboBox *>(list->parentWidget()))
            box->hidePopup();
        else
            list->close();
        event->accept();
        return true;
    }
};

inline void letOpenListsKeepEscape()
{
    static QObject *const filter = [] {
        auto *made = new OpenListKeepsEscape(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(made);
        return made;
    }();
    Q_UNUSED(filter);
}

} // namespace detail

/// Any of keys runs handler, as a click on the button they stand for does. A key held down runs it
/// once: its repeats would reach the window that comes forward after this one closes.
template <typename Receiver, typename Handler>
QShortcut *bind(QWidget *window, const QList<QKeySequence> &keys, Receiver *receiver, Handler handler)
{
    auto *shortcut = new QShortcut(window);
    shortcut->setKeys(keys);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, receiver, handler);
    return shortcut;
}

/// Esc runs handler: the handler of the window's 戻る button, or close for a window without one.
template <typename Window, typename Handler> void escapeGoesBack(Window *window, Handler handler)
{
    detail::letOpenListsKeepEscape();
    bind(window, { QKeySequence(Qt::Key_Escape) }, window, handler);
}

} // namespace keys
