// The place, member and song pickers of the main window.

#include "app/MainWindow.h"

#include "diary/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/Cp932.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace {

/// The diary ends its member section at this line, so it can never be a member's name.
const QString SectionSeparator = QStringLiteral("----------");

void refuseSeparatorAsMember(QWidget *parent)
{
    messages::refuse(parent, QStringLiteral("「----------」はメンバー名に使えません"), QStringLiteral("入力エラー"));
}

} // namespace

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

bool MainWindow::pickSong(int position)
{
    if (position < 0 || position >= m_tables.songs.songCount())
        return false;
    const SongRecord &song = m_tables.songs.song(position + 1);
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

void MainWindow::cboMember_Click(int position)
{
    const QString name = cboMember->itemText(position);
    if (name.isEmpty())
        return;
    if (name == SectionSeparator) {
        refuseSeparatorAsMember(this);
        return;
    }
    if (lstMents->count() >= DiaryBook::MaxMembers) {
        messages::refuse(this, QStringLiteral("メンバーは１０人までです"), QStringLiteral("登録上限"));
        return;
    }
    lstMents->addItem(name);
}

void MainWindow::cboMember_KeyPress()
{
    if (cboMember->currentText() == SectionSeparator) {
        refuseSeparatorAsMember(this);
        return;
    }
    addListChoice(cboMember, choicelist::MemberFile, QStringLiteral("メンバーリストに追加"));
}

void MainWindow::cboBasyo_KeyPress()
{
    addListChoice(cboBasyo, choicelist::PlaceFile, QStringLiteral("場所リストに追加"));
}

void MainWindow::addListChoice(QComboBox *box, const QString &fileName, const QString &doneTitle)
{
    const QString name = box->currentText();
    if (name.isEmpty())
        return;
    if (messages::refuseUnstorable(this, { name }))
        return;
    if (!messages::confirm(
            this, name + QStringLiteral("を新たに追加しますか？"), QStringLiteral("保存確認"), MessageIcon::Question))
        return;

    SaveResult result;
    {
        WaitCursor wait;
        result = choicelist::append(m_tables.dataFolder, fileName, name);
    }
    if (!result.ok()) {
        messages::reportSaveProblem(this, result, name);
        return;
    }
    // The choice reads as the file now holds it, and becomes the box's current item so that
    // leaving the box does not pick it as a member.
    box->addItem(cp932::normaliseLookAlikes(name));
    box->setCurrentIndex(box->count() - 1);
    messages::notify(this, QStringLiteral("保存しました"), doneTitle);
}
