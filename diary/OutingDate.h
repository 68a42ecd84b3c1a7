#pragma once

#include <QDate>
#include <QString>

#include <optional>

/// The day an outing's date text stands for. The diary writes "2026年11月29日"; a typed date may
/// also read "2026年1月5日", "2026/11/29", "2026-11-29" or "2026.11.29", in full-width digits and
/// with blanks around. Anything else, or a day the calendar lacks, gives a null date.
QDate readOutingDate(const QString &text);

/// A day or a whole month, of one year or of every year, as people write it when they look for
/// outings: "2021年3月5日", "2021/3/5", "2021-03", "2021年3月", "11/20", "11月20日".
struct PartialDate
{
    int year = 0; ///< 0: any year
    int month = 0;
    int day = 0; ///< 0: the whole month

    bool covers(QDate date) const;
};

/// Reads the forms readOutingDate takes, and also a year and month alone (year, separator, month,
/// or "年…月") and a month and day alone ("m/d", "m月d日"). Empty when the text is none of them or
/// names a month or day the calendar lacks (a month and day alone must exist in some year).
std::optional<PartialDate> readPartialDate(const QString &text);
