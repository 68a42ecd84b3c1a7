#pragma once

#include "tables/SharedTables.h"
#include "textfile/DataFile.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

/// The window "バックアップから復元" (frmRestore): every dated copy of every data file, newest
/// first, what putting the selected one back would change, and putting it, or a backup zip's
/// files, back.
class RestoreWindow : public QWidget
{
    Q_OBJECT

public:
    explicit RestoreWindow(SharedTables &tables, QWidget *parent = nullptr);

    /// The list is read from the folder each time it is made: always current when shown.
    bool showsCurrentData() const { return true; }

private:
    void buildControls();
    void fillCopies();
    void showPreview();
    void cmdRestore_Click();
    void cmdZip_Click();
    /// Asks, then puts the files back.
    void restore(const QList<RestoredFile> &files, const QString &what);

    SharedTables &m_tables;
    QList<textfile::DatedCopy> m_copies;

    QTreeWidget *lstCopies = nullptr;
    QPlainTextEdit *txtPreview = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdZip = nullptr;
    QPushButton *cmdClose = nullptr;
};
