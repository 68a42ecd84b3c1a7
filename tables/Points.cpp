#include "tables/Points.h"

#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "diary/DiaryBook.h"
#include "textfile/Records.h"

#include <algorithm>
#include <cmath>

namespace {

const GaugeBar Bars[10] = {
    { 5925, 815, 240, 105, 0x00FFFF },
    { 6120, 765, 240, 150, 0x00FFFF },
    { 6345, 720, 240, 195, 0x00FF00 },
    { 6570, 675, 240, 240, 0x00FF00 },
    { 6795, 630, 240, 285, 0xFFFF00 },
    { 7020, 585, 240, 330, 0xFFFF00 },
    { 7245, 540, 240, 375, 0xFF00FF },
    { 7470, 495, 240, 420, 0xFF00FF },
    { 7695, 450, 240, 465, 0xFF0000 },
    { 7920, 405, 240, 510, 0xFF0000 },
};

} // namespace

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

QString formatHours(float hours)
{
    if (!std::isfinite(hours))
        return QString::number(double(hours));
    // The fewest significant digits (at most seven) that still read back as the same float.
    int digits = 1;
    while (digits < 7 && float(QString::number(double(hours), 'e', digits - 1).toDouble()) != hours)
        ++digits;
    const QString scientific = QString::number(double(hours), 'e', digits - 1);
    const double rounded = scientific.toDouble();
    const int exponent = scientific.mid(scientific.indexOf(u'e') + 1).toInt();
    const int decimals = std::max(0, digits - 1 - exponent);
    QString text = QString::number(rounded, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

const GaugeBar &gaugeBar(int index)
{
    return Bars[index];
}

int litBarCount(qint64 levelPercent)
{
    if (levelPercent < 0)
        return 0;
    return int(std::min<qint64>(levelPercent / 10, 10));
}
