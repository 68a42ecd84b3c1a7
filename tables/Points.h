#pragma once

#include <QString>
#include <QtGlobal>

class DiaryBook;
class SongCatalogue;
class ArtistCatalogue;

/// The totals, points and level of the main window, recomputed from the tables each time. The sums
/// are wide: a thousand songs of up to 32767 sings each add up far beyond 16 bits.
struct PointsSummary
{
    qint16 artistCount = 0;
    qint16 songCount = 0;
    qint64 totalSingCount = 0;
    qint64 ratingPoints = 0;
    float totalHours = 0;
    qint64 currentPoints = 0;

    QString artistText() const; ///< "12名"
    QString songText() const; ///< "3曲"
    QString singText() const; ///< "7回"
    QString hoursText() const; ///< "3.5ｈ"
    QString ratingText() const; ///< "4ｐ"
    QString pointText() const; ///< "Point 19"
};

/// Score of one self rating: "◎" 3, "○" 2, "×" 1, anything else 0.
int selfRatingScore(const QString &selfRating);

/// A duration that does not read as a number counts as 0.
PointsSummary computePointsSummary(const DiaryBook &diary, const SongCatalogue &songs, const ArtistCatalogue &artists);

/// currentPoints / targetPoints * 100, rounded half to even; 0 for a target below 1.
qint64 computeLevelPercent(qint64 currentPoints, qint16 targetPoints);

/// floor(levelPercent / 10), capped at 10; none for a negative level.
int litBarCount(qint64 levelPercent);
