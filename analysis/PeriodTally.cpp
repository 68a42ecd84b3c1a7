#include "analysis/PeriodTally.h"

#include "diary/DiaryBook.h"

#include <QHash>

#include <algorithm>

PeriodRun periodRun(int currentItem, int selectedCount)
{
    if (selectedCount <= 0)
        return {};
    return { std::max(1, currentItem - selectedCount + 2), currentItem + 1 };
}

QVector<PeriodTallyRow> tallyPeriod(const DiaryBook &diary, const PeriodRun &run)
{
    QVector<PeriodTallyRow> rows;
    QHash<QString, int> rowOfTitle;
    const int last = std::min(run.lastEntry, diary.entryCount());
    for (int k = std::max(1, run.firstEntry); k <= last; ++k) {
        const DiaryEntry &entry = diary.entry(k);
        for (int i = 0; i < entry.songTitles.size(); ++i) {
            const QString &title = entry.songTitles[i];
            if (title.isEmpty())
                break;
            const auto found = rowOfTitle.constFind(title);
            if (found != rowOfTitle.constEnd()) {
                ++rows[*found].count;
                continue;
            }
            rowOfTitle.insert(title, int(rows.size()));
            rows.append({ title, entry.songArtists.value(i), 1 });
        }
    }
    return rows;
}
