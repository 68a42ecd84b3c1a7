#pragma once

#include "search/DiarySearch.h"

#include <QWidget>

class FlexGrid;
class QLabel;
class QPushButton;
class SharedTables;

/// The history of one song (frmHistory): every outing it was sung in, where and with whom, and
/// when it was sung first and last.
class SongHistoryWindow : public QWidget
{
    Q_OBJECT

public:
    SongHistoryWindow(SharedTables &tables, const QString &title, const QString &artist, QWidget *parent = nullptr);

    /// Shows the history of another song in this window.
    void showSong(const QString &title, const QString &artist);
    const SongHistory &history() const { return m_history; }

Q_SIGNALS:
    /// The user chose an outing of the history (double-click, Return) to see it.
    void outingChosen(int number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The diary changed: show the song's history afresh.
    void diaryChanged();
    void buildControls();
    void prepareGrid();
    void showHistory();
    void chooseOuting(int row);
    void cmdModori_Click();

    SharedTables &m_tables;
    SongHistory m_history;

    QLabel *lblSong = nullptr;
    FlexGrid *msgHistory = nullptr;
    QLabel *lblSummary = nullptr;
    QPushButton *cmdModori = nullptr;
};
