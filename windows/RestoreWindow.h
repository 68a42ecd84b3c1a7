#pragma once

#include "tables/SharedTables.h"
#include "textfile/DataFile.h"

#include <QWidget>

#include <functional>

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
    /// mayReplaceShown asks, when the main window holds a typed outing not registered, whether it may
    /// go: a restore shows the restored diary in its place.
    RestoreWindow(SharedTables &tables, std::function<bool()> mayReplaceShown, QWidget *parent = nullptr);

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
    std::function<bool()> m_mayReplaceShown;
    QList<textfile::DatedCopy> m_copies;

    QTreeWidget *lstCopies = nullptr;
    QPlainTextEdit *txtPreview = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdZip = nullptr;
    QPushButton *cmdClose = nullptr;
};
