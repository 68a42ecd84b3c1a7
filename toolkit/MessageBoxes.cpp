#include "toolkit/MessageBoxes.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

MessagePresenter *installedPresenter = nullptr;

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

/// A box narrower than its text breaks Japanese between any two characters, even inside a file's
/// name, and Qt makes a box narrow on a small screen or at a large scale. The box is made wide
/// enough for its longest line, as far as the screen allows.
void keepLinesWhole(QMessageBox &box)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    const QScreen *screen = box.screen();
    if (!label || !screen)
        return;
    int widest = 0;
    for (const QString &line : box.text().split(u'\n'))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line) + 1);
    // The widest box Qt makes on this screen, less the icon and the margins.
    const int screenWidth = screen->availableGeometry().width();
    const int widestBox = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    label->setMinimumWidth(std::min(widest, widestBox - 150));
}

int showChoiceBox(QWidget *parent, const ShownMessage &message)
{
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
    keepLinesWhole(box);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : message.choices)
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.value(message.defaultChoice)));
    box.setEscapeButton(buttons.value(message.escapeChoice));
    box.exec();
    const int pressed = int(buttons.indexOf(box.clickedButton()));
    return pressed < 0 ? message.escapeChoice : pressed;
}

int showModalBox(QWidget *parent, const ShownMessage &message)
{
    if (message.buttons == MessageButtons::Choices)
        return showChoiceBox(parent, message);
    const QMessageBox::StandardButtons buttons = message.buttons == MessageButtons::Ok
        ? QMessageBox::StandardButtons(QMessageBox::Ok)
        : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(boxIcon(message.icon), message.title, message.text, buttons, parent);
    keepLinesWhole(box);
    box.setDefaultButton(QMessageBox::Ok);
    // Closing a confirmation without pressing a button goes no further, as Cancel does.
    return int(box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
}

/// The index of the button pressed.
int present(QWidget *parent, const ShownMessage &message)
{
    return installedPresenter ? installedPresenter->present(parent, message) : showModalBox(parent, message);
}

} // namespace

namespace messages {

void setPresenter(MessagePresenter *presenter)
{
    installedPresenter = presenter;
}

MessageAnswer show(QWidget *parent, const ShownMessage &message)
{
    return present(parent, message) == int(MessageAnswer::Ok) ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void refuse(QWidget *parent, const QString &text, const QString &title)
{
    show(parent, { text, title, MessageButtons::Ok, MessageIcon::Warning });
}

bool confirm(QWidget *parent, const QString &text, const QString &title, MessageIcon icon)
{
    return show(parent, { text, title, MessageButtons::OkCancel, icon }) == MessageAnswer::Ok;
}

bool confirmIrreversible(QWidget *parent, const QString &text, const QString &title, const QString &action)
{
    return present(parent,
               { text, title, MessageButtons::Choices, MessageIcon::Warning, { action, QStringLiteral("キャンセル") },
                   1, 1 })
        == 0;
}

void notify(QWidget *parent, const QString &text, const QString &title)
{
    show(parent, { text, title, MessageButtons::Ok, MessageIcon::Information });
}

int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &choices, int defaultChoice,
    int escapeChoice)
{
    return present(
        parent, { text, title, MessageButtons::Choices, MessageIcon::Question, choices, defaultChoice, escapeChoice });
}

bool mayDiscardTyped(QWidget *parent, const QString &what, const QString &save, const std::function<bool()> &unsaved,
    const std::function<void()> &store)
{
    if (!unsaved())
        return true;
    enum Choice
    {
        Save,
        Discard,
        Stay
    };
    switch (choose(parent,
        QStringLiteral("入力中の") + what + QStringLiteral("は") + save + QStringLiteral("されていません。"),
        QStringLiteral("未") + save + QStringLiteral("の") + what,
        { save, QStringLiteral("破棄"), QStringLiteral("キャンセル") }, Stay, Stay)) {
    case Save:
        store();
        // A refusal or a cancelled confirmation leaves the input as it was, to be seen again.
        return !unsaved();
    case Discard:
        return true;
    default:
        return false;
    }
}

} // namespace messages
