#pragma once

#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"

#include <QVector>
#include <QWidget>

class FlexGrid;
class QButtonGroup;
class QListWidget;
class QPushButton;
class QToolButton;
class SharedTables;

/// The analysis window (frmSort): the songs sung over a run of outings above, the whole catalogue
/// sortable by one of six columns below.
class SortWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SortWindow(SharedTables &tables, QWidget *parent = nullptr);

    /// Whether the outings and songs are still those this window read when it was made.
    bool showsCurrentData() const { return !m_stale; }

private:
    void buildControls();
    void Form_Load();
    void PreparePeriodSearch();
    void PrepareSongGrid();
    void LoadSongList();
    void ShowSongList();
    void optSort_Click(int index);
    void cmdKikan_Click();
    void cmdModori_Click();

    SharedTables &m_tables;
    /// The tables changed in what it shows since it was made.
    bool m_stale = false;
    /// The catalogue as it was when the list was last built.
    QVector<SongRecord> m_songs;

    FlexGrid *msgKyoku = nullptr;
    QListWidget *lstDate = nullptr;
    QPushButton *cmdKikan = nullptr;
    FlexGrid *msgKyoku2 = nullptr;
    QButtonGroup *optSort = nullptr;
    QToolButton *cmdModori = nullptr;
};
