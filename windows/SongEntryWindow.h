#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class SharedTables;

/// How the song window opens: blank for a new song, or for fillFromSong to show an existing one.
enum class SongEntryMode
{
    NewSong,
    ExistingSong,
};

/// The song data registration window (frmInp): a song's details are typed here and added to the
/// song catalogue for the artist the artist window shows.
class SongEntryWindow : public QWidget
{
    Q_OBJECT

public:
    /// artistName gives the artist window's name box at the moment of saving; the window places
    /// itself at topLeft.
    SongEntryWindow(SharedTables &tables, SongEntryMode mode, std::function<QString()> artistName, QPoint topLeft,
        QWidget *parent = nullptr);

    /// Title box := title; the other fields from the lowest slot with that title, if any. Asks
    /// first about a song typed and not saved: kept, nothing is filled; saved, the window closes.
    void fillFromSong(const QString &title);

Q_SIGNALS:
    /// The song was added to the catalogue; the window closes itself right after.
    void songSaved();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    /// The texts of the six fields, title first.
    QStringList fieldTexts() const;
    /// Asks before the fields, typed and not saved, are lost; true when they may go.
    bool mayDiscardTyped();
    void buildControls();
    void Form_Load(QPoint topLeft, SongEntryMode mode);
    void loadSongEntryChoices(SongEntryMode mode);
    void cmdHozon_Click();
    void cmdModori_Click();

    SharedTables &m_tables;
    std::function<QString()> m_artistName;
    /// The fields as the window filled them, blank or from a song: what closing loses nothing of.
    QStringList m_filledTexts;

    QLineEdit *txtKyokumei = nullptr;
    QLineEdit *txtHira = nullptr;
    QComboBox *cboJanru = nullptr;
    QComboBox *cboShout = nullptr;
    QComboBox *cboHyouka = nullptr;
    QLineEdit *txtKaisu = nullptr;
    QPushButton *cmdHozon = nullptr;
    QPushButton *cmdModori = nullptr;
};
