#pragma once

// The user's actions that write data files, done through the real windows: shared by the tests
// that make those writes fail.

#include "DataFolder.h"

#include "tests/support/ComboBoxes.h"
#include "toolkit/MessageBoxes.h"

#include <QComboBox>
#include <QLineEdit>

/// What the user does that writes a file, told apart by the file written and the window used.
enum class Operation
{
    NewOuting,
    ChangedOuting,
    SingCount, ///< a new outing whose registration fails only at the sing count
    SongSave,
    ArtistSave,
    PlaceChoice,
    MemberChoice,
    PersonalSave
};

inline const ShownMessage AskArtist { QStringLiteral("『 新人 』を登録します"), QStringLiteral("登録確認"),
    MessageButtons::OkCancel, MessageIcon::Information };

/// Opens the windows and fills in what the operation saves, short of pressing save.
inline void prepareOperation(const QWidget *main, Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::SingCount:
        click(main, QStringLiteral("cmdNew"));
        control<QComboBox>(main, QStringLiteral("cboDate"))->setEditText(QStringLiteral("2024年04月01日"));
        control<QComboBox>(main, QStringLiteral("cboJikan"))->setEditText(QStringLiteral("2.5"));
        control<QComboBox>(main, QStringLiteral("cboBasyo"))->setEditText(QStringLiteral("港の店"));
        click(main, QStringLiteral("cmdInpKyoku"));
        pickItem(control<QComboBox>(main, QStringLiteral("cboInpKyoku")), 1);
        break;
    case Operation::ChangedOuting:
        control<QComboBox>(main, QStringLiteral("cboBasyo"))->setEditText(QStringLiteral("駅前カラオケ"));
        break;
    case Operation::SongSave: {
        click(main, QStringLiteral("cmdKasyu"));
        click(openWindow(QStringLiteral("frmKashu")), QStringLiteral("cmdTuika"));
        const QWidget *songWindow = openWindow(QStringLiteral("frmInp"));
        control<QLineEdit>(songWindow, QStringLiteral("txtKyokumei"))->setText(QStringLiteral("雪の歌"));
        control<QLineEdit>(songWindow, QStringLiteral("txtHira"))->setText(QStringLiteral("ゆきのうた"));
        control<QLineEdit>(songWindow, QStringLiteral("txtKaisu"))->setText(QStringLiteral("0"));
        break;
    }
    case Operation::ArtistSave: {
        click(main, QStringLiteral("cmdKasyu"));
        const QWidget *artistWindow = openWindow(QStringLiteral("frmKashu"));
        click(artistWindow, QStringLiteral("cmdNew"));
        control<QLineEdit>(artistWindow, QStringLiteral("txtKasyu"))->setText(QStringLiteral("新人"));
        control<QLineEdit>(artistWindow, QStringLiteral("txtHira"))->setText(QStringLiteral("しんじん"));
        break;
    }
    case Operation::PlaceChoice:
        break;
    case Operation::MemberChoice:
        click(main, QStringLiteral("cmdMember"));
        break;
    case Operation::PersonalSave: {
        click(main, QStringLiteral("cmdPrivate"));
        const QWidget *privateWindow = openWindow(QStringLiteral("frmPrivate"));
        control<QLineEdit>(privateWindow, QStringLiteral("txtNamae"))->setText(QStringLiteral("新しい名前"));
        control<QLineEdit>(privateWindow, QStringLiteral("txtPoint"))->setText(QStringLiteral("200"));
        break;
    }
    }
}

/// Presses the button (or the key) that saves.
inline void commitOperation(const QWidget *main, Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::ChangedOuting:
    case Operation::SingCount:
        click(main, QStringLiteral("cmdTouroku"));
        break;
    case Operation::SongSave:
        click(openWindow(QStringLiteral("frmInp")), QStringLiteral("cmdHozon"));
        break;
    case Operation::ArtistSave:
        click(openWindow(QStringLiteral("frmKashu")), QStringLiteral("cmdTouroku"));
        break;
    case Operation::PlaceChoice:
        enterName(control<QComboBox>(main, QStringLiteral("cboBasyo")), QStringLiteral("新しい店"));
        break;
    case Operation::MemberChoice:
        enterName(control<QComboBox>(main, QStringLiteral("cboMember")), QStringLiteral("三郎"));
        break;
    case Operation::PersonalSave:
        click(openWindow(QStringLiteral("frmPrivate")), QStringLiteral("cmdHozon"));
        break;
    }
}
