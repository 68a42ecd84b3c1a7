#pragma once

#include "tables/SharedTables.h"
#include "toolkit/SingleWindow.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class ArtistWindow;
class QAction;
class FlexGrid;
class PrivateWindow;
class RestoreWindow;
class SearchWindow;
class SongHistoryWindow;
class StatisticsWindow;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
namespace textfile {
struct Failure;
}
class QListWidget;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QStringListModel;
class QToolButton;
class SortWindow;
struct DiaryEntry;

/// The main window (frmMain): the diary's entry inputs, the totals and level gauge, and the toolbar
/// that opens the other windows. Building it takes the tables from the reading, which goes on while
/// the controls are built, and reads the other data files.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(TablesReading &reading);
    ~MainWindow() override;

    /// The tables of the run, which every window of the run shows.
    SharedTables &tables() const { return *m_tables; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QMenuBar *buildMenuBar();
    void buildToolbar();
    void buildTotals(QWidget *frame1);
    void buildEntryInputs(QWidget *frame1);
    void buildSongPicker(QWidget *frame1);
    void connectControls();

    void Form_Load(TablesReading &reading);
    void SetUpSongGrid();
    /// The scroll range follows the number of outings.
    void showDiaryRange();
    /// What shows the tables follows their change: the scroll range, the analysis window, the song
    /// choices, the caption, the totals and gauge, and the windows made ahead.
    void tablesChanged(SharedTables::Tables what);
    void FillChoiceLists();
    /// Asks about the files read whose encoding is a guess, and reads again those answered otherwise.
    void readAgainInAnsweredEncodings();
    void ShowEntry();
    void ClearEntryInputs();
    /// The totals, points and level the tables hold, the gauge painted after them.
    void showPoints();
    void paintLevelGauge();
    void refillSongChoices();

    void cmdNew_Click();
    void cmdTouroku_Click();
    void cmdSort_Click();
    ArtistWindow *makeArtistWindow();
    void cmdKasyu_Click();
    void cmdPrivate_Click();
    PrivateWindow *makePrivateWindow();
    void cmdHelp_Click();
    void cmdEnd_Click();
    /// A step of the scroll bar, as its arrows make, so that the outing is shown through its change
    /// handler.
    void showPreviousOuting();
    void showNextOuting();
    void showAbout();
    void openSearch();
    SearchWindow *makeSearchWindow();
    void openStatistics();
    void openRestore();
    /// Writes the diary and the catalogues as CSV files into a folder the user chooses.
    void exportCsv();
    /// Asks for a CSV file, shows what importing it would add, and imports it when the user says so.
    void importCsv();
    /// Writes every data file into one zip file the user chooses, checked by reading it back.
    void makeBackup();
    /// Removes the outing shown, after the user confirms.
    void deleteShownOuting();
    /// Undoes the last registration or deletion, or makes the last one undone again, once the
    /// typed outing may go, and shows the outing concerned.
    void takeDiaryStep(bool undoing);
    /// The undo and redo items name the step they take, and are off when there is none.
    void showStepItems();
    /// Shows outing number, moving the scroll bar there, and brings the window forward.
    void showOuting(int number);
    void showSongHistory(const QString &title, const QString &artist);
    void msgSenkyoku_ContextMenu(const QPoint &pos);
    void hsbData_Change();
    void hsbData_Scroll();
    /// Before a move of the scroll bar by the user shows another outing: keeps the bar where it is
    /// unless the typed outing may go.
    void askBeforeScrollBarMove();
    /// Whether the entry inputs hold something the diary does not: what showing another outing
    /// would lose.
    bool inputsUnsaved() const;
    /// Asks before unsaved inputs are lost, offering to register them; true when they may go.
    bool mayLeaveInputs();

    void cmdInpKyoku_Click();
    void cboInpKyoku_Click(int position);
    /// Adds the song at position to the outing's grid; false when it is refused.
    bool pickSong(int position);
    /// Keys over the closed pick lists only move through them, Enter picks; Delete takes a member or
    /// a song out of the outing. True when the key was taken.
    bool pickerKeyPress(QObject *watched, QKeyEvent *key);
    /// Takes grid row out of the outing's songs and numbers the rows below it again.
    void removeSongRow(int row);
    void cmdMember_Click();
    void cboMember_Click(int position);
    void cboMember_KeyPress();
    /// Adds name to the outing's members, asking first whether to add a new one to the list file.
    void pickMember(const QString &name);
    void removeSelectedMember();
    void lstMents_ContextMenu(const QPoint &pos);
    void cboBasyo_KeyPress();
    /// Asks, then writes the box's text to the list file and adds it as a choice; true when added.
    bool addListChoice(QComboBox *box, const QString &fileName, const QString &doneTitle);

    bool inputsCanBeStored();
    DiaryEntry entryFromInputs() const;
    void showPickerButtons();
    QString targetReachedText() const;

    std::unique_ptr<SharedTables> m_tables;
    QAction *m_undoItem = nullptr;
    QAction *m_redoItem = nullptr;
    /// The song the last accepted pick chose, which a registration counts as sung; -1 for none.
    int m_pickedSong = -1;
    /// The outing the entry inputs were filled from; 0 after they were cleared for a new one.
    int m_shownOuting = 0;
    /// 修了 has asked about everything typed; closing asks nothing more.
    bool m_ending = false;

    QWidget *m_client = nullptr;
    QToolButton *cmdNew = nullptr;
    QToolButton *cmdTouroku = nullptr;
    QToolButton *cmdSort = nullptr;
    QToolButton *cmdKasyu = nullptr;
    QToolButton *cmdPrivate = nullptr;
    QToolButton *cmdHelp = nullptr;
    QToolButton *cmdEnd = nullptr;
    QLabel *lblPoint = nullptr;
    std::array<QFrame *, 10> shpLevel {};

    QLabel *lblNinzu = nullptr;
    QLabel *lblKyoku = nullptr;
    QLabel *lblKaisu = nullptr;
    QLabel *lblJikan = nullptr;
    QLabel *lblHpoint = nullptr;

    QComboBox *cboDate = nullptr;
    QComboBox *cboJikan = nullptr;
    QComboBox *cboBasyo = nullptr;
    QPushButton *cmdMember = nullptr;
    QComboBox *cboMember = nullptr;
    QListWidget *lstMents = nullptr;

    QPushButton *cmdInpKyoku = nullptr;
    QComboBox *cboInpKyoku = nullptr;
    QStringListModel *m_songTitles = nullptr; ///< cboInpKyoku's items
    FlexGrid *msgSenkyoku = nullptr;
    QScrollBar *hsbData = nullptr;
    QLabel *lblKensu = nullptr;

    bool m_windowsMadeAhead = false;
    SingleWindow<SortWindow> m_sortWindow;
    SingleWindow<ArtistWindow> m_artistWindow;
    SingleWindow<PrivateWindow> m_privateWindow;
    SingleWindow<SearchWindow> m_searchWindow;
    SingleWindow<SongHistoryWindow> m_historyWindow;
    SingleWindow<StatisticsWindow> m_statisticsWindow;
    SingleWindow<RestoreWindow> m_restoreWindow;
};
