// Copies of the diary for other programs and for safekeeping, from the ファイル menu.

#include "app/MainWindow.h"

#include "exchange/BackupArchive.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "tables/SharedTables.h"
#include "toolkit/FileChoosers.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/WaitCursor.h"
#include "toolkit/WindowPlaces.h"
#include "windows/FailureWords.h"
#include "windows/ImportWindow.h"

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

    QList<CsvFileWritten> written;
    textfile::Failure result;
    {
        WaitCursor wait;
        result = writeCsvFiles(*m_tables, target, &written);
    }
    if (!result.ok()) {
        failurewords::report(this, result);
        return;
    }
    QString text = QStringLiteral("CSVに書き出しました\n") + QDir::toNativeSeparators(target.absolutePath());
    for (const CsvFileWritten &file : std::as_const(written))
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
    QStringList stored;
    textfile::Failure result;
    {
        WaitCursor wait;
        result = writeBackupArchive(m_tables->dataFolder(), path, &stored);
    }
    if (!result.ok()) {
        failurewords::report(this, result);
        return;
    }
    // A file name to a line: the box breaks a long line anywhere, even inside a name.
    messages::notify(this,
        QStringLiteral("バックアップしました\n") + QDir::toNativeSeparators(path) + u'\n' + stored.join(u'\n'),
        QStringLiteral("バックアップ"));
}

void MainWindow::importCsv()
{
    const QString path = choosers::openFile(this, QStringLiteral("CSVから取り込む"),
        m_tables->dataFolder().absolutePath(), QStringLiteral("CSV ファイル (*.csv *.tsv);;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    ImportPlan plan;
    {
        WaitCursor wait;
        plan = planCsvImportFile(*m_tables, path);
    }
    ImportWindow window(*m_tables, plan, this);
    places::openNear(&window, this);
    window.exec();
}
