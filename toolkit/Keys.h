#pragma once

#include <QKeySequence>
#include <QList>
#include <QShortcut>
#include <QWidget>

/// Keyboard shortcuts of our windows. A shortcut belongs to one window and acts wherever the focus
/// is in it, except in an open pick list, which keeps every key, and in a control that claims the
/// key through QEvent::ShortcutOverride.
namespace keys {

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
    bind(window, { QKeySequence(Qt::Key_Escape) }, window, handler);
}

} // namespace keys
