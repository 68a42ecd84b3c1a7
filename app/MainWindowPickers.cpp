// The place, member and song pickers of the main window.

#include "app/MainWindow.h"

#include "lists/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/Cp932.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "windows/FailureWords.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QStringList itemTexts(const QComboBox *box)
{
    QStringList texts;
    texts.reserve(box->count());
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

/// Empties the box without reporting a pick, so that the next name is typed afresh.
void clearQuietly(QComboBox *box)
{
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

/// Keys with which a closed pick list moves to another item and reports it as picked: the arrows and
/// pages, and on a list without a text field Home, End and typed letters, which search it.
bool movesClosedList(const QComboBox *box, const QKeyEvent *key)
{
    if (box->view()->isVisible() || (key->modifiers() & Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        return !box->isEditable();
    default:
        return !box->isEditable() && !key->text().isEmpty() && key->text().front().isPrint();
    }
}

} // namespace

bool MainWindow::pickerKeyPress(QObject *watched, QKeyEvent *key)
{
    for (QComboBox *box : { cboMember, cboInpKyoku }) {
        if (watched != box || !movesClosedList(box, key))
            continue;
        // The box moves as usual, with the report held back: only Enter or a click picks.
        const QSignalBlocker quiet(box);
        static_cast<QObject *>(box)->event(key);
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == cboInpKyoku && enter && cboInpKyoku->currentIndex() >= 0) {
        cboInpKyoku_Click(cboInpKyoku->currentIndex());
        return true;
    }
    if (key->key() != Qt::Key_Delete || key->modifiers() != Qt::NoModifier)
        return false;
    if (watched == lstMents)
        removeSelectedMember();
    else if (watched == msgSenkyoku)
        removeSongRow(msgSenkyoku->row());
    else
        return false;
    return true;
}

void MainWindow::cmdInpKyoku_Click()
{
    cmdInpKyoku->hide();
    cboInpKyoku->show();
    cboInpKyoku->setFocus();
}

void MainWindow::cboInpKyoku_Click(int position)
{
    if (!pickSong(position)) {
        // A refused song was not sung at this outing: the list goes back to the last song picked,
        // so a registration never counts it.
        cboInpKyoku->setCurrentIndex(m_pickedSong);
        return;
    }
    m_pickedSong = position;
}

void MainWindow::removeSongRow(int row)
{
    if (row < 1 || row >= msgSenkyoku->rows())
        return;
    QList<QStringList> kept;
    for (int r = 1; r < msgSenkyoku->rows(); ++r) {
        if (r != row)
            kept.append({ QString::number(kept.size() + 1), msgSenkyoku->textAt(r, 1), msgSenkyoku->textAt(r, 2) });
    }
    msgSenkyoku->setRows(1);
    msgSenkyoku->appendRows(kept);
    // The row that took its place, so that Delete held down goes on removing.
    msgSenkyoku->setRow(std::min(row, msgSenkyoku->rows() - 1));

    // A registration counts the song last picked only while the outing still lists it.
    if (m_pickedSong < 0 || m_pickedSong >= m_tables->songs().songCount())
        return;
    const SongRecord &picked = m_tables->songs().song(m_pickedSong + 1);
    for (const QStringList &cells : kept) {
        if (cells[1] == picked.title && cells[2] == picked.artist)
            return;
    }
    m_pickedSong = -1;
    const QSignalBlocker quiet(cboInpKyoku);
    cboInpKyoku->setCurrentIndex(-1);
}

bool MainWindow::pickSong(int position)
{
    if (position < 0 || position >= m_tables->songs().songCount())
        return false;
    const SongRecord &song = m_tables->songs().song(position + 1);
    // An empty title would end the outing's song list when it is read back.
    if (song.title.isEmpty())
        return false;
    if (song.title.contains(u',')) {
        messages::refuse(
            this, QStringLiteral("曲名にコンマ（,）を含む曲は日記に記録できません"), QStringLiteral("登録できない曲"));
        return false;
    }
    if (msgSenkyoku->rows() - 1 >= DiaryBook::MaxSongs) {
        messages::refuse(this, QStringLiteral("１回に登録できる曲は５０曲までです"), QStringLiteral("登録上限"));
        return false;
    }
    msgSenkyoku->appendRow({ QString::number(msgSenkyoku->rows()), song.title, song.artist });
    return true;
}

void MainWindow::cmdMember_Click()
{
    cmdMember->hide();
    cboMember->show();
    cboMember->setFocus();
}

void MainWindow::removeSelectedMember()
{
    const QList<QListWidgetItem *> selected = lstMents->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = lstMents->row(selected.first());
    delete lstMents->takeItem(row);
    if (lstMents->count() > 0)
        lstMents->setCurrentRow(std::min(row, lstMents->count() - 1));
}

void MainWindow::lstMents_ContextMenu(const QPoint &pos)
{
    QListWidgetItem *item = lstMents->itemAt(pos);
    if (!item)
        return;
    lstMents->setCurrentItem(item);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuMember"));
    connect(menu.addAction(QStringLiteral("削除(&D)")), &QAction::triggered, this, &MainWindow::removeSelectedMember);
    menu.exec(lstMents->viewport()->mapToGlobal(pos));
}

void MainWindow::cboMember_Click(int position)
{
    pickMember(cboMember->itemText(position));
}

void MainWindow::cboMember_KeyPress()
{
    pickMember(cboMember->currentText());
}

void MainWindow::pickMember(const QString &name)
{
    const choicelist::MemberPick pick = choicelist::memberPick(name, itemTexts(cboMember), lstMents->count());
    switch (pick.action) {
    case choicelist::MemberPick::Nothing:
        return;
    case choicelist::MemberPick::RefuseSeparator:
        messages::refuse(this, QStringLiteral("「----------」はメンバー名に使えません"), QStringLiteral("入力エラー"));
        return;
    case choicelist::MemberPick::RefuseFull:
        messages::refuse(this, QStringLiteral("メンバーは１０人までです"), QStringLiteral("登録上限"));
        return;
    case choicelist::MemberPick::AskToAdd:
        // Only a choice until it is picked, as the place list's names are: the name stays in the
        // box, where Enter now picks it.
        addListChoice(cboMember, choicelist::MemberFile, QStringLiteral("メンバーリストに追加"));
        return;
    case choicelist::MemberPick::TakeListed:
        lstMents->addItem(cboMember->itemText(pick.choice));
        break;
    }
    clearQuietly(cboMember);
}

void MainWindow::cboBasyo_KeyPress()
{
    // A place already listed is only chosen: asking again would write it a second time.
    if (choicelist::listedChoice(cboBasyo->currentText(), itemTexts(cboBasyo)) >= 0)
        return;
    addListChoice(cboBasyo, choicelist::PlaceFile, QStringLiteral("場所リストに追加"));
}

bool MainWindow::addListChoice(QComboBox *box, const QString &fileName, const QString &doneTitle)
{
    const QString name = box->currentText();
    if (name.isEmpty())
        return false;
    if (failurewords::refuseUnstorable(this, { name }))
        return false;
    if (!messages::confirm(
            this, name + QStringLiteral("を新たに追加しますか？"), QStringLiteral("保存確認"), MessageIcon::Question))
        return false;

    textfile::Failure result;
    {
        WaitCursor wait;
        result = choicelist::append(m_tables->dataFolder(), fileName, name);
    }
    if (!result.ok()) {
        failurewords::report(this, result, name);
        return false;
    }
    // The choice reads as the file now holds it, and becomes the box's current item.
    box->addItem(cp932::normaliseLookAlikes(name));
    box->setCurrentIndex(box->count() - 1);
    messages::notify(this, QStringLiteral("保存しました"), doneTitle);
    return true;
}
