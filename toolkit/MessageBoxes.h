#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

/// Every message box of the program goes through here, so that tests can answer them and read
/// back exactly what was shown.
enum class MessageIcon
{
    Warning,
    Information,
    Question
};
enum class MessageButtons
{
    Ok,
    OkCancel,
    Choices ///< the buttons named in ShownMessage::choices
};
/// The button pressed, by its place among the box's buttons: a presenter answers a box with choices
/// with the index of the choice.
enum class MessageAnswer
{
    Ok = 0,
    Cancel = 1
};

struct ShownMessage
{
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Information;
    QStringList choices = {}; ///< the buttons of a box with choices, left to right
    int defaultChoice = 0; ///< the choice Enter presses
    int escapeChoice = 0; ///< the choice Escape, or closing the box, presses

    bool operator==(const ShownMessage &) const = default;
};

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    /// Shows the box and returns the index of the button pressed (MessageAnswer, or the choice).
    virtual int present(QWidget *parent, const ShownMessage &message) = 0;
};

namespace messages {

/// Routes every box to presenter; nullptr restores the real modal QMessageBox.
void setPresenter(MessagePresenter *presenter);

MessageAnswer show(QWidget *parent, const ShownMessage &message);
/// OK button, warning icon.
void refuse(QWidget *parent, const QString &text, const QString &title);
/// OK and Cancel; true only for OK.
bool confirm(QWidget *parent, const QString &text, const QString &title, MessageIcon icon = MessageIcon::Information);
/// For what cannot be undone: a button named action and キャンセル, キャンセル the default (Enter
/// alone does not do it), warning icon; true only for action.
bool confirmIrreversible(QWidget *parent, const QString &text, const QString &title, const QString &action);
/// OK button, information icon.
void notify(QWidget *parent, const QString &text, const QString &title);
/// A button for each choice, question icon; returns the index of the choice pressed.
int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &choices, int defaultChoice,
    int escapeChoice);

/// Before typed input is thrown away (by showing something else in its place, or by closing its
/// window): when unsaved() says it differs from what is stored, asks "入力中の{what}は{save}されて
/// いません。" with the buttons {save}, 破棄 and キャンセル, キャンセル the default and Escape's.
/// {save} runs store, and the input may go only if that stored it. True when it may go.
bool mayDiscardTyped(QWidget *parent, const QString &what, const QString &save, const std::function<bool()> &unsaved,
    const std::function<void()> &store);

} // namespace messages
