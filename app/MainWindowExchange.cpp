// Copies of the diary for other programs and for safekeeping, from the ファイル menu.

#include "app/MainWindow.h"

#include "exchange/BackupArchive.h"
#include "exchange/CsvExport.h"
#include "tables/SharedTables.h"
#include "toolkit/FileChoosers.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"

#include <QDateTime>

void MainWindow::exportCsv()
{
    const QString folder = choosers::folder(this, QStringLiteral("CSVに書き出すフォルダー"), QDir::homePath());
    if (folder.isEmpty())
        return;
    const QDir target(folder);
    const QStringList existing = existingCsvFiles(target);
    if (!existing.isEmpty()
        && !messages::confirm(this,
            existing.join(QStringLiteral("、")) + QStringLiteral(" はすでにあります。上書きしますか？"),
            QStringLiteral("上書き確認"), MessageIcon::Question))
        return;

    ExportResult result;
    {
        WaitCursor wait;
        result = writeCsvFiles(*m_tables, target);
    }
    if (!result.ok()) {
        messages::refuse(this,
            QStringLiteral("CSVに書き出せませんでした\n") + result.failedFile + u'\n' + result.reason,
            QStringLiteral("書き出しエラー"));
        return;
    }
    QString text = QStringLiteral("CSVに書き出しました\n") + QDir::toNativeSeparators(target.absolutePath());
    for (const CsvFileWritten &file : std::as_const(result.written))
        text += QStringLiteral("\n%1（%2行）").arg(file.name).arg(file.rows);
    messages::notify(this, text, QStringLiteral("書き出し終了"));
}

void MainWindow::makeBackup()
{
    const QString suggested = QDir::home().filePath(suggestedBackupName(QDateTime::currentDateTime()));
    const QString path = choosers::saveFile(
        this, QStringLiteral("バックアップを作成"), suggested, QStringLiteral("ZIP ファイル (*.zip)"));
    if (path.isEmpty())
        return;
    BackupResult result;
    {
        WaitCursor wait;
        result = writeBackupArchive(m_tables->dataFolder(), path);
    }
    if (!result.ok()) {
        messages::refuse(this,
            QStringLiteral("バックアップを作れませんでした\n") + result.failedFile + u'\n' + result.reason,
            QStringLiteral("バックアップエラー"));
        return;
    }
    // A file name to a line: the box breaks a long line anywhere, even inside a name.
    messages::notify(this,
        QStringLiteral("バックアップしました\n") + QDir::toNativeSeparators(path) + u'\n' + result.files.join(u'\n'),
        QStringLiteral("バックアップ"));
}
