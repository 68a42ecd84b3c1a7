#include "windows/RestoreWindow.h"

#include "diary/DiaryBook.h"
#include "exchange/BackupArchive.h"
#include "tables/RestorePreview.h"
#include "toolkit/FileChoosers.h"
#include "toolkit/Fonts.h"
#include "toolkit/Keys.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Twips.h"
#include "toolkit/WaitCursor.h"
#include "toolkit/WindowPlaces.h"
#include "windows/FailureWords.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString ConfirmTitle = QStringLiteral("復元確認");

QString outingsText(int count)
{
    return QStringLiteral("%1件").arg(count);
}

/// What the preview says of one file: for the diary the outings by date, for the catalogue the
/// songs whose counts change.
QString previewText(const QString &file, const RestorePreview &preview)
{
    if (!preview.differs)
        return file + QStringLiteral("：今と同じ内容です");
    QStringList lines { file + QStringLiteral("：今の内容と違います") };
    if (preview.outingsNow >= 0) {
        lines << QStringLiteral("日記の件数：今 %1 → 復元後 %2")
                     .arg(outingsText(preview.outingsNow), outingsText(preview.outingsThen));
        for (const auto &[caption, dates] : { std::pair(QStringLiteral("戻る日記"), preview.added),
                 std::pair(QStringLiteral("なくなる日記"), preview.removed),
                 std::pair(QStringLiteral("変わる日記"), preview.changed) }) {
            if (!dates.isEmpty())
                lines << caption + QStringLiteral("（%1件）：").arg(dates.size()) + dates.join(QStringLiteral("、"));
        }
    }
    for (const RestorePreview::CountChange &count : preview.counts) {
        lines << QStringLiteral("%1（%2）：唄った回数 %3 → %4")
                     .arg(count.title, count.artist)
                     .arg(count.now)
                     .arg(count.then);
    }
    return lines.join(u'\n');
}

} // namespace

RestoreWindow::RestoreWindow(SharedTables &tables, std::function<bool()> mayReplaceShown, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_tables(tables)
    , m_mayReplaceShown(std::move(mayReplaceShown))
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("バックアップから復元"));
    setFont(msPGothic(9));
    buildControls();
    resize(twipsToPixels(9000), twipsToPixels(6600));
    places::remember(this);
    fillCopies();
    // Every save may add a dated copy, and a restore makes one.
    connect(&m_tables, &SharedTables::changed, this, &RestoreWindow::fillCopies);
}

void RestoreWindow::buildControls()
{
    lstCopies = new QTreeWidget(this);
    lstCopies->setObjectName(QStringLiteral("lstCopies"));
    lstCopies->setRootIsDecorated(false);
    lstCopies->setHeaderLabels(
        { QStringLiteral("日時"), QStringLiteral("ファイル"), QStringLiteral("大きさ"), QStringLiteral("日記") });
    lstCopies->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(lstCopies, &QTreeWidget::currentItemChanged, this, &RestoreWindow::showPreview);

    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);

    cmdRestore = new QPushButton(QStringLiteral("復元"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdRestore->setToolTip(QStringLiteral("選んだ版に戻す（今の内容もバックアップに残ります）"));
    connect(cmdRestore, &QPushButton::clicked, this, &RestoreWindow::cmdRestore_Click);

    cmdZip = new QPushButton(QStringLiteral("ZIPから復元…"), this);
    cmdZip->setObjectName(QStringLiteral("cmdZip"));
    cmdZip->setToolTip(QStringLiteral("「バックアップを作成」で作ったZIPファイルの内容に戻す"));
    connect(cmdZip, &QPushButton::clicked, this, &RestoreWindow::cmdZip_Click);

    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    keys::escapeGoesBack(this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdZip);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstCopies, 3);
    layout->addWidget(txtPreview, 2);
    layout->addLayout(buttons);
}

void RestoreWindow::fillCopies()
{
    m_copies = textfile::datedCopies(m_tables.dataFolder(), diaryDataFileNames());
    lstCopies->clear();
    for (const textfile::DatedCopy &copy : std::as_const(m_copies)) {
        QString outings;
        QByteArray bytes;
        if (textfile::sameDataFileName(copy.file, DiaryBook::FileName)
            && textfile::readDatedCopy(m_tables.dataFolder(), copy, &bytes).ok())
            outings = outingsText(outingsIn(bytes));
        auto *item = new QTreeWidgetItem(lstCopies,
            { copy.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), copy.file,
                QStringLiteral("%1 バイト").arg(copy.size), outings });
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (lstCopies->topLevelItemCount() > 0)
        lstCopies->setCurrentItem(lstCopies->topLevelItem(0));
    else
        txtPreview->setPlainText(QStringLiteral("バックアップフォルダーに以前の版はまだありません"));
    showPreview();
}

void RestoreWindow::showPreview()
{
    const int row = lstCopies->indexOfTopLevelItem(lstCopies->currentItem());
    cmdRestore->setEnabled(row >= 0);
    if (row < 0)
        return;
    const textfile::DatedCopy &copy = m_copies.at(row);
    QByteArray bytes;
    if (const textfile::Failure read = textfile::readDatedCopy(m_tables.dataFolder(), copy, &bytes); !read.ok()) {
        txtPreview->setPlainText(failurewords::wordsFor(read).text);
        return;
    }
    txtPreview->setPlainText(previewText(copy.file, previewRestore(m_tables.dataFolder(), copy.file, bytes)));
}

void RestoreWindow::cmdRestore_Click()
{
    const int row = lstCopies->indexOfTopLevelItem(lstCopies->currentItem());
    if (row < 0)
        return;
    const textfile::DatedCopy copy = m_copies.at(row);
    QByteArray bytes;
    if (const textfile::Failure read = textfile::readDatedCopy(m_tables.dataFolder(), copy, &bytes); !read.ok()) {
        failurewords::report(this, read);
        return;
    }
    restore({ { copy.file, bytes } },
        QStringLiteral("%1 を %2 の版に戻します。")
            .arg(copy.file, copy.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))));
}

void RestoreWindow::cmdZip_Click()
{
    const QString path = choosers::openFile(
        this, QStringLiteral("ZIPから復元"), QDir::homePath(), QStringLiteral("ZIP ファイル (*.zip)"));
    if (path.isEmpty())
        return;
    QList<RestoredFile> files;
    if (const textfile::Failure read = readBackupArchive(path, &files); !read.ok()) {
        failurewords::report(this, read);
        return;
    }
    QList<RestoredFile> differing;
    QStringList previews;
    for (const RestoredFile &file : std::as_const(files)) {
        const RestorePreview preview = previewRestore(m_tables.dataFolder(), file.name, file.bytes);
        if (preview.differs) {
            differing.append(file);
            previews << previewText(file.name, preview);
        }
    }
    txtPreview->setPlainText(previews.join(QStringLiteral("\n\n")));
    if (differing.isEmpty()) {
        messages::notify(this, QStringLiteral("ZIPファイルの内容は今のデータと同じです"), QStringLiteral("復元"));
        return;
    }
    QStringList names;
    for (const RestoredFile &file : std::as_const(differing))
        names << file.name;
    restore(differing,
        QStringLiteral("%1 の内容に戻します。\n変わるファイル：%2")
            .arg(QDir::toNativeSeparators(path), names.join(QStringLiteral("、"))));
}

void RestoreWindow::restore(const QList<RestoredFile> &files, const QString &what)
{
    if (!messages::confirmIrreversible(this,
            what + QStringLiteral("\n今の内容はバックアップフォルダーに残ります。よろしいですか？"), ConfirmTitle,
            QStringLiteral("OK"))
        || !m_mayReplaceShown())
        return;
    textfile::Failure result;
    {
        WaitCursor wait;
        result = m_tables.restoreFiles(files);
    }
    if (!result.ok()) {
        failurewords::report(this, result);
        return;
    }
    messages::notify(this, QStringLiteral("復元しました"), QStringLiteral("復元"));
}
