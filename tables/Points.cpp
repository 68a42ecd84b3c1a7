#include "tables/Points.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "textfile/Records.h"

#include <algorithm>
#include <cmath>

QString PointsSummary::artistText() const
{
    return QString::number(artistCount) + u'名';
}

QString PointsSummary::songText() const
{
    return QString::number(songCount) + u'曲';
}

QString PointsSummary::singText() const
{
    return QString::number(totalSingCount) + u'回';
}

QString PointsSummary::hoursText() const
{
    return formatHours(totalHours) + u'ｈ';
}

QString PointsSummary::ratingText() const
{
    return QString::number(ratingPoints) + u'ｐ';
}

QString PointsSummary::pointText() const
{
    return QStringLiteral("Point ") + QString::number(currentPoints);
}

int selfRatingScore(const QString &selfRating)
{
    if (selfRating == u"◎")
        return 3;
    if (selfRating == u"○")
        return 2;
    if (selfRating == u"×")
        return 1;
    return 0;
}

PointsSummary computePointsSummary(const DiaryBook &diary, const SongCatalogue &songs, const ArtistCatalogue &artists)
{
    qint64 singSum = 0;
    qint64 ratingSum = 0;
    for (const SongRecord &song : songs.songs()) {
        singSum += song.singCount;
        ratingSum += selfRatingScore(song.selfRating);
    }
    float hours = 0;
    for (const DiaryEntry &entry : diary.entries())
        hours = float(hours + textfile::decimalNumber(entry.duration).value_or(0));

    PointsSummary summary;
    summary.artistCount = textfile::clampToInt16(artists.artistCount());
    summary.songCount = textfile::clampToInt16(songs.songCount());
    summary.totalSingCount = singSum;
    summary.ratingPoints = ratingSum;
    summary.totalHours = hours;
    const qint64 earned = ratingSum + singSum + artists.artistCount() + songs.songCount();
    // The sum is whole already; the conversion keeps durations of absurd size in range (NaN, from
    // durations of opposite infinite sign, counts as 0).
    summary.currentPoints = textfile::roundHalfEven(std::floor(double(hours)) + double(earned));
    return summary;
}

qint64 computeLevelPercent(qint64 currentPoints, qint16 targetPoints)
{
    if (targetPoints < 1)
        return 0;
    const double percent = double(currentPoints) / double(targetPoints) * 100;
    return textfile::roundHalfEven(percent);
}

int litBarCount(qint64 levelPercent)
{
    if (levelPercent < 0)
        return 0;
    return int(std::min<qint64>(levelPercent / 10, 10));
}
