#pragma once

#include <QString>
#include <QVector>

class DiaryBook;

struct PeriodTallyRow
{
    QString title;
    QString artist; ///< artist of the title's first occurrence
    int count = 0;

    bool operator==(const PeriodTallyRow &) const = default;
};

/// The outings of a period search: the n outings that end at the list's current item.
struct PeriodRun
{
    int firstEntry = 1; ///< book position, from 1
    int lastEntry = 0; ///< book position; below firstEntry for an empty run
};

/// currentItem counts from 0 (-1 for none), selectedCount is the number of selected dates. Positions
/// above the first outing are dropped, so the run starts at outing 1 at the earliest.
PeriodRun periodRun(int currentItem, int selectedCount);

/// Every distinct title sung in the run, in order of first occurrence, with the artist of its first
/// occurrence and how often it was sung. Every song line of an outing counts; the tally grows as
/// far as needed.
QVector<PeriodTallyRow> tallyPeriod(const DiaryBook &diary, const PeriodRun &run);
