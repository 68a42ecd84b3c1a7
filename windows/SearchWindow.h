#pragma once

#include "search/DiarySearch.h"

#include <QVector>
#include <QWidget>

class FlexGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class SharedTables;

/// The search window (frmSearch): finds the outings whose date, place, members or songs hold every
/// word typed, as it is typed.
class SearchWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SearchWindow(SharedTables &tables, QWidget *parent = nullptr);

    /// Until its first search the window shows nothing of the diary, and that search reads the
    /// diary as it is then.
    bool showsCurrentData() const { return !m_indexCurrent; }

Q_SIGNALS:
    /// The user chose a result (double-click, Return) to see that outing.
    void outingChosen(int number);
    /// The user asked for the history of the first song the chosen result matched.
    void historyRequested(const QString &title, const QString &artist);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The diary changed: search it afresh.
    void diaryChanged();
    void buildControls();
    void prepareGrid();
    void showResults();
    /// The result on the grid's current row, or nullptr.
    const SearchHit *chosenHit() const;
    void updateButtons();
    void chooseOuting();
    void txtSearch_Change();
    void msgResult_DblClick(const QModelIndex &index);
    void msgResult_ContextMenu(const QPoint &pos);
    void cmdHistory_Click();
    void cmdModori_Click();

    SharedTables &m_tables;
    DiarySearchIndex m_index;
    bool m_indexCurrent = false; ///< m_index was made from the diary as it is
    QVector<SearchHit> m_hits;

    QLineEdit *txtSearch = nullptr;
    QLabel *lblCount = nullptr;
    FlexGrid *msgResult = nullptr;
    QPushButton *cmdHistory = nullptr;
    QPushButton *cmdModori = nullptr;
};
