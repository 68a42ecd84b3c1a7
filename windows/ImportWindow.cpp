#include "windows/ImportWindow.h"

#include "tables/SharedTables.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "toolkit/WindowPlaces.h"
#include "windows/FailureWords.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

/// A heading naming how many things follow (the lines of an outing are one), then the lines.
void appendSection(QString &text, const QString &heading, const QStringList &lines, qsizetype count = -1)
{
    if (lines.isEmpty())
        return;
    text += QStringLiteral("【%1】%2件\n").arg(heading).arg(count < 0 ? lines.size() : count);
    for (const QString &line : lines)
        text += line + u'\n';
    text += u'\n';
}

QStringList outingLines(const QVector<DiaryEntry> &outings)
{
    QStringList lines;
    for (const DiaryEntry &outing : outings)
        lines += DiaryBook::entryLines(outing);
    return lines;
}

} // namespace

QString importPreviewText(const ImportPlan &plan)
{
    QString text;
    appendSection(text, QStringLiteral("取り込めない行"), plan.errors);
    appendSection(text, QStringLiteral("追加する日記"), outingLines(plan.outings), plan.outings.size());
    QStringList songs;
    for (const SongRecord &song : plan.newSongs)
        songs += song.title + u',' + song.artist;
    appendSection(text, QStringLiteral("新しい曲"), songs);
    QStringList artists;
    for (const ArtistRecord &artist : plan.newArtists)
        artists += artist.name + u',' + artist.reading;
    appendSection(text, QStringLiteral("新しいアーティスト"), artists);
    appendSection(text, QStringLiteral("新しい場所"), plan.newPlaces);
    appendSection(text, QStringLiteral("新しいメンバー"), plan.newMembers);
    QStringList skipped;
    for (const DiaryEntry &outing : plan.skipped)
        skipped += outing.date + u' ' + outing.place;
    appendSection(text, QStringLiteral("登録済みのため取り込まない日記"), skipped);
    if (text.isEmpty())
        text = QStringLiteral("取り込むものはありません。");
    return text;
}

ImportWindow::ImportWindow(SharedTables &tables, const ImportPlan &plan, QWidget *parent)
    : QDialog(parent)
    , m_tables(tables)
    , m_plan(plan)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("取り込み"));
    auto *layout = new QVBoxLayout(this);
    auto *summary = new QLabel(plan.canImport()
            ? QStringLiteral("次の内容を取り込みます。")
            : QStringLiteral("取り込めない行があります。CSV ファイルを直してから、もう一度取り込んでください。"),
        this);
    summary->setObjectName(QStringLiteral("lblSummary"));
    summary->setWordWrap(true);
    layout->addWidget(summary);
    txtPreview = new QPlainTextEdit(importPreviewText(plan), this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(txtPreview);
    auto *buttons = new QDialogButtonBox(this);
    cmdImport = buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setEnabled(plan.canImport() && !plan.outings.isEmpty());
    cmdCancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(cmdImport, &QPushButton::clicked, this, &ImportWindow::cmdImport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 480);
    places::remember(this);
}

void ImportWindow::cmdImport_Click()
{
    if (!messages::confirmIrreversible(this,
            QStringLiteral("日記 %1件を取り込みます。よろしいですか？").arg(m_plan.outings.size()),
            QStringLiteral("取り込み確認"), QStringLiteral("OK")))
        return;
    textfile::Failure result;
    {
        WaitCursor wait;
        result
            = m_tables.importOutings(m_plan.outings, m_plan.songs, m_plan.artists, m_plan.newPlaces, m_plan.newMembers);
    }
    if (!result.ok()) {
        failurewords::report(this, result);
        return;
    }
    messages::notify(this,
        QStringLiteral("取り込みました\n日記 %1件、曲 %2曲、アーティスト %3名、場所 %4件、メンバー %5名")
            .arg(m_plan.outings.size())
            .arg(m_plan.newSongs.size())
            .arg(m_plan.newArtists.size())
            .arg(m_plan.newPlaces.size())
            .arg(m_plan.newMembers.size()),
        QStringLiteral("取り込み"));
    accept();
}
