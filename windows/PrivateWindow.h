#pragma once

#include "personal/PersonalData.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class SharedTables;

/// The personal data window (frmPrivate): edits the user's name and target points and shows the
/// current points and level.
class PrivateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PrivateWindow(SharedTables &tables, QWidget *parent = nullptr);

    /// Whether the name, target, points and level shown are still those of the tables.
    bool showsCurrentData() const { return !m_stale; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void showLevel();
    void cmdHozon_Click();
    void cmdModori_Click();

    SharedTables &m_tables;
    /// The tables changed in what it shows since it was made.
    bool m_stale = false;
    QStringList m_storedTexts; ///< the name and target as last shown or saved

    QLineEdit *txtNamae = nullptr;
    QLineEdit *txtPoint = nullptr;
    QLabel *lblPoint = nullptr;
    QLabel *lblLevel = nullptr;
    QPushButton *cmdHozon = nullptr;
    QPushButton *cmdModori = nullptr;
};
