#pragma once

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "toolkit/SingleWindow.h"
#include "windows/SongEntryWindow.h"

#include <QWidget>

#include <array>

class FlexGrid;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollBar;
class QToolButton;
class QPushButton;
class SharedTables;

/// The artist database window (frmKashu): pages through the artists with their songs, filters the
/// artist list by kana initial, registers new artists and opens the song data registration window.
class ArtistWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ArtistWindow(SharedTables &tables, QWidget *parent = nullptr);
    ~ArtistWindow() override;

    /// Whether the artists and songs are still those this window read when it was made.
    bool showsCurrentData() const { return !m_stale; }

    /// Shows the artist at the scroll bar's position: boxes, position text and songs.
    void ShowArtistPosition();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void SetUpArtistSongGrid();
    void ListAllArtists();
    void FillKanaChoices();
    void ShowArtistSongs();
    void showListCaption();
    void coverForNewArtist();
    /// Whether the name and reading boxes hold something other than what the window put there.
    bool artistUnsaved() const;
    SongEntryWindow *OpenSongWindow(SongEntryMode mode);

    void cboHira_Click(int index);
    void cmdAll_Click();
    void hsbKasyu_Change();
    void lstKasyu_Click();
    void cmdNew_Click();
    void txtKasyu_Click();
    void cmdTouroku_Click();
    void cmdTuika_Click();
    void MsgKyoku_Click();
    void cmdModori_Click();
    void songWindow_songSaved();

    SharedTables &m_tables;
    /// The tables changed in what it shows since it was made.
    bool m_stale = false;
    SingleWindow<SongEntryWindow> m_songWindow;
    /// The name and reading as the window last showed them, an artist's or empty for a new one.
    QStringList m_shownArtist;

    QGroupBox *fraNamae = nullptr;
    QToolButton *cmdNew = nullptr;
    QToolButton *cmdTouroku = nullptr;
    QToolButton *cmdModori = nullptr;
    QFrame *Frame2 = nullptr;
    std::array<QComboBox *, 10> cboHira {};
    QPushButton *cmdAll = nullptr;
    QScrollBar *hsbKasyu = nullptr;
    QLabel *lblKen = nullptr;
    QListWidget *lstKasyu = nullptr;
    QFrame *Frame1 = nullptr;
    QLineEdit *txtKasyu = nullptr;
    QLineEdit *txtHira = nullptr;
    QToolButton *cmdTuika = nullptr;
    FlexGrid *MsgKyoku = nullptr;
    QFrame *pnlHide = nullptr;
};
