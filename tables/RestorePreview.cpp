#include "tables/RestorePreview.h"

#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "textfile/DataFile.h"
#include "textfile/FileReplace.h"

#include <QMap>

#include <algorithm>

namespace {

/// Outings of one date stand for each other in file order: a date is rarely sung twice.
void compareOutings(const DiaryBook &now, const DiaryBook &then, RestorePreview &preview)
{
    QMap<QString, QList<const DiaryEntry *>> nowByDate, thenByDate;
    for (const DiaryEntry &entry : now.entries())
        nowByDate[entry.date].append(&entry);
    for (const DiaryEntry &entry : then.entries())
        thenByDate[entry.date].append(&entry);
    QStringList dates = nowByDate.keys() + thenByDate.keys();
    dates.removeDuplicates();
    dates.sort();
    for (const QString &date : std::as_const(dates)) {
        const QList<const DiaryEntry *> current = nowByDate.value(date), earlier = thenByDate.value(date);
        const qsizetype common = std::min(current.size(), earlier.size());
        for (qsizetype i = 0; i < common; ++i) {
            if (*current.at(i) != *earlier.at(i))
                preview.changed.append(date);
        }
        for (qsizetype i = common; i < earlier.size(); ++i)
            preview.added.append(date);
        for (qsizetype i = common; i < current.size(); ++i)
            preview.removed.append(date);
    }
}

void compareCounts(const QByteArray &now, const QByteArray &then, RestorePreview &preview)
{
    QMap<std::pair<QString, QString>, std::pair<int, int>> counts;
    for (const SongRecord &song : SongCatalogue::parse(now))
        counts[{ song.title, song.artist }].first += song.singCount;
    for (const SongRecord &song : SongCatalogue::parse(then))
        counts[{ song.title, song.artist }].second += song.singCount;
    for (auto count = counts.cbegin(); count != counts.cend(); ++count) {
        if (count->first != count->second)
            preview.counts.append({ count.key().first, count.key().second, count->first, count->second });
    }
}

} // namespace

RestorePreview previewRestore(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QByteArray now;
    textfile::readFileBytes(textfile::resolveDataFile(folder, name), now);
    RestorePreview preview;
    preview.differs = now != bytes;
    if (textfile::sameDataFileName(name, DiaryBook::FileName)) {
        const DiaryBook current = DiaryBook::parse(now), earlier = DiaryBook::parse(bytes);
        preview.outingsNow = current.entryCount();
        preview.outingsThen = earlier.entryCount();
        compareOutings(current, earlier, preview);
    } else if (textfile::sameDataFileName(name, SongCatalogue::FileName)) {
        compareCounts(now, bytes, preview);
    }
    return preview;
}

int outingsIn(const QByteArray &diaryBytes)
{
    return DiaryBook::parse(diaryBytes).entryCount();
}
