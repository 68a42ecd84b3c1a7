#pragma once

#include <QDate>
#include <QString>

/// The day an outing's date text stands for. The diary writes "2026年11月29日"; a typed date may
/// also read "2026年1月5日", "2026/11/29", "2026-11-29" or "2026.11.29", in full-width digits and
/// with blanks around. Anything else, or a day the calendar lacks, gives a null date.
QDate readOutingDate(const QString &text);
