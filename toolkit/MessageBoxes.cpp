#include "toolkit/MessageBoxes.h"

#include "textfile/FileReplace.h"
#include "textfile/TextLines.h"

#include <QClipboard>
#include <QGuiApplication>
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

void refuseUnencodable(QWidget *parent, const QString &character)
{
    refuse(parent, QStringLiteral("「") + character + QStringLiteral("」は保存できない文字です"),
        QStringLiteral("入力エラー"));
}

bool refuseUnstorable(QWidget *parent, const QStringList &texts)
{
    for (const QString &text : texts) {
        const QString character = textfile::firstUnstorable(text);
        if (!character.isEmpty()) {
            refuseUnencodable(parent, character);
            return true;
        }
    }
    return false;
}

void reportSaveProblem(QWidget *parent, const SaveResult &result, const QString &typed)
{
    switch (result.status) {
    case SaveResult::Status::Unencodable:
        if (result.file.isEmpty()) {
            refuseUnencodable(parent, result.character);
            break;
        }
        refuse(parent,
            result.file + QStringLiteral(" にシフトJISで保存できない文字「") + result.character
                + QStringLiteral("」があるため、保存できませんでした。"),
            QStringLiteral("保存エラー"));
        break;
    case SaveResult::Status::OutOfRange:
    case SaveResult::Status::WriteFailed:
    case SaveResult::Status::ReadBackFailed: {
        QString text = QStringLiteral("保存できませんでした");
        for (const QString &line : { result.file, result.reason }) {
            if (!line.isEmpty())
                text += u'\n' + line;
        }
        refuse(parent, text, QStringLiteral("保存エラー"));
        break;
    }
    case SaveResult::Status::NotRead:
        refuse(parent,
            result.file + QStringLiteral(" は起動したときに読み込めなかったため、上書きしませんでした。\n")
                + QStringLiteral("ファイルを確かめてから、プログラムを起動しなおしてください。"),
            QStringLiteral("保存エラー"));
        break;
    case SaveResult::Status::ChangedOnDisk: {
        const QString text = result.file
            + QStringLiteral(" は、このプログラムが読み込んだ後にほかのプログラムで変更されています。\n")
            + QStringLiteral("その変更を失わないよう、保存しませんでした。プログラムを起動しなおすとその変更を読み込み"
                             "ますが、入力中の内容は失われます。");
        if (typed.isEmpty()) {
            refuse(parent, text, QStringLiteral("保存エラー"));
            break;
        }
        // What was typed would be lost with the restart: it can be kept first.
        if (confirm(parent, text + QStringLiteral("\n\nOK を押すと、入力中の内容をクリップボードにコピーします。"),
                QStringLiteral("保存エラー"), MessageIcon::Warning))
            QGuiApplication::clipboard()->setText(typed);
        break;
    }
    case SaveResult::Status::ReadOnly:
        refuse(parent,
            QStringLiteral("保存できませんでした\n") + result.file
                + QStringLiteral("\nこのフォルダーはロックできなかったため、読み取り専用で開いています。\n")
                + result.reason,
            QStringLiteral("保存エラー"));
        break;
    case SaveResult::Status::Saved:
    case SaveResult::Status::TableFull:
    case SaveResult::Status::HoldsQuote:
    case SaveResult::Status::MissingText:
    case SaveResult::Status::Duplicate:
    case SaveResult::Status::Unplaced:
        break;
    }
}

void reportLoadProblem(QWidget *parent, const LoadResult &result)
{
    if (result.ok())
        return;
    refuse(parent, result.file + QStringLiteral(" を読み込めませんでした\n") + result.reason,
        QStringLiteral("読み込みエラー"));
}

void reportForeignEncodings(QWidget *parent, const QList<textfile::ForeignFile> &files)
{
    if (files.isEmpty())
        return;
    QString text = QStringLiteral("次のファイルはシフトJIS以外の文字コードで書かれています。\n");
    for (const textfile::ForeignFile &file : files)
        text += file.file + QStringLiteral("（") + file.encoding + QStringLiteral("）\n");
    text += QStringLiteral("それぞれ次に保存するときにシフトJISに変換します。変換前のファイルは「")
        + textfile::BackupFolderName + QStringLiteral("」フォルダーに残ります。");
    notify(parent, text, QStringLiteral("文字コードの変換"));
}

void reportUndecodableBytes(QWidget *parent, const QStringList &files)
{
    if (files.isEmpty())
        return;
    notify(parent,
        QStringLiteral("次のファイルに、シフトJISとして読めないバイトがあります（文字の途中で切れているなど）。\n")
            + files.join(u'\n')
            + QStringLiteral(
                "\n読めないところはそのまま保存し直します。ほかのプログラムでファイルを確かめてください。"),
        QStringLiteral("読めない文字"));
}

} // namespace messages
