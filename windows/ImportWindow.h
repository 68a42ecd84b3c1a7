#pragma once

#include "exchange/CsvImport.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class SharedTables;

/// The window "取り込み" (frmImport): what importing a CSV file would add to the diary, the
/// catalogues and the lists, what it skips as already there, and every row it cannot take; and
/// importing it, all or nothing, once nothing is in error.
class ImportWindow : public QDialog
{
    Q_OBJECT

public:
    ImportWindow(SharedTables &tables, const ImportPlan &plan, QWidget *parent = nullptr);

private:
    void cmdImport_Click();

    SharedTables &m_tables;
    ImportPlan m_plan;

    QPlainTextEdit *txtPreview = nullptr;
    QPushButton *cmdImport = nullptr;
    QPushButton *cmdCancel = nullptr;
};

/// The preview of a plan as the window shows it: errors first, then what is added and skipped.
QString importPreviewText(const ImportPlan &plan);
