// Registering the outing shown in the main window's inputs.

#include "app/MainWindow.h"

#include "tables/SharedTables.h"
#include "textfile/FullWidth.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "windows/FailureWords.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

void MainWindow::cmdTouroku_Click()
{
    const DiaryBook &diary = m_tables->diary();
    if (diary.isFull()) {
        messages::refuse(this,
            QStringLiteral("登録できるのは") + textfile::fullWidthDigits(DiaryBook::MaxEntries)
                + QStringLiteral("件までです"),
            QStringLiteral("登録上限"));
        return;
    }
    if (cboDate->currentText().isEmpty()) {
        messages::refuse(this, QStringLiteral("日付は必ず入力してください"), QStringLiteral("日付未記入"));
        return;
    }
    if (cboJikan->currentText().isEmpty()) {
        messages::refuse(this, QStringLiteral("時間は必ず入力してください"), QStringLiteral("時間未記入"));
        return;
    }
    if (!inputsCanBeStored())
        return;

    // After 新規 the scroll bar still points at the outing last shown, which a registration of its
    // date changes: the user saw it last and chose that date for it.
    const int shown = diary.entryCount() > 0 ? hsbData->value() : 0;
    const int target = diary.changeTarget(cboDate->currentText(), shown);
    if (target < 0) {
        messages::refuse(this,
            QStringLiteral("この日付の日記が複数あります。変更したい日記をスクロールバーで表示してから、"
                           "もう一度登録してください。"),
            QStringLiteral("日付の重複"));
        return;
    }
    const bool confirmed = target == 0
        ? messages::confirm(this, QStringLiteral("新しい日付です。新規登録します。"), QStringLiteral("新規登録確認"))
        : messages::confirm(this, QStringLiteral("既存の日付です。変更登録します。"), QStringLiteral("変更登録確認"));
    if (!confirmed)
        return;

    textfile::Failure saved;
    {
        WaitCursor wait;
        saved = m_tables->registerOuting(target, entryFromInputs(), m_pickedSong);
        if (saved.ok()) {
            // A change goes to the entry that holds the date, which is not always the one shown.
            hsbData->setValue(target == 0 ? diary.entryCount() : target);
            ShowEntry();
            showPickerButtons();
        }
    }
    if (!saved.ok()) {
        failurewords::report(this, saved, DiaryBook::entryLines(entryFromInputs()).join(u'\n'));
        return;
    }
    messages::notify(this, QStringLiteral("登録しました"), QStringLiteral("登録終了"));
    if (m_tables->personal().levelPercent >= 100)
        messages::notify(this, targetReachedText(), QStringLiteral("目標レベル達成"));
}

bool MainWindow::inputsCanBeStored()
{
    // The points add the durations up as numbers, so only a plain number of hours in a day is taken.
    const QString hours = cboJikan->currentText();
    if (!DiaryBook::isPlainDuration(hours)) {
        // A number typed is told what range it missed, not that it is no number.
        messages::refuse(this,
            DiaryBook::isDurationOutsideDay(hours) ? QStringLiteral("時間は0から24までの数字で入力してください")
                                                   : QStringLiteral("時間は数字で入力してください"),
            QStringLiteral("時間の形式"));
        return false;
    }
    return !failurewords::refuseUnstorable(this, { cboDate->currentText(), cboBasyo->currentText() });
}

DiaryEntry MainWindow::entryFromInputs() const
{
    DiaryEntry entry;
    entry.date = cboDate->currentText();
    entry.duration = cboJikan->currentText();
    entry.place = cboBasyo->currentText();
    for (int i = 0; i < lstMents->count(); ++i)
        entry.members.append(lstMents->item(i)->text());
    for (int row = 1; row < msgSenkyoku->rows(); ++row) {
        entry.songTitles.append(msgSenkyoku->textAt(row, 1));
        entry.songArtists.append(msgSenkyoku->textAt(row, 2));
    }
    return entry;
}

void MainWindow::showPickerButtons()
{
    cmdInpKyoku->show();
    cboInpKyoku->hide();
    cmdMember->show();
    cboMember->hide();
}

QString MainWindow::targetReachedText() const
{
    return QStringLiteral("目標ポイント ") + QString::number(m_tables->personal().targetPoints)
        + QStringLiteral("p に対するレベルが１００％をこえました！") + u'\n'
        + QStringLiteral("おめでとうございます。 ＼(^o^)／ﾔｯﾀｧ ") + QStringLiteral("\n\n")
        + QStringLiteral("さらなるレベルアップを目指して、次の目標ポイントを指定しましょう。");
}

void MainWindow::deleteShownOuting()
{
    const DiaryBook &diary = m_tables->diary();
    const int shown = diary.entryCount() > 0 ? hsbData->value() : 0;
    if (const textfile::Failure refused = diary.checkRemoval(shown); !refused.ok()) {
        failurewords::refuseRemoval(this, refused);
        return;
    }
    const DiaryEntry &entry = diary.entry(shown);
    const QString place = entry.place.isEmpty() ? QString() : QStringLiteral("（") + entry.place + QStringLiteral("）");
    if (!messages::confirmIrreversible(this,
            entry.date + place
                + QStringLiteral("の日記を削除します。\n曲データの唄った回数は変わりません。よろしいですか？"),
            QStringLiteral("削除確認"), QStringLiteral("削除")))
        return;

    textfile::Failure removed;
    {
        WaitCursor wait;
        removed = m_tables->removeOuting(shown);
        if (removed.ok()) {
            // The outing that took its place, or the new last one.
            hsbData->setValue(std::min(shown, std::max(1, diary.entryCount())));
            ShowEntry();
        }
    }
    if (!removed.ok())
        failurewords::report(this, removed);
}
