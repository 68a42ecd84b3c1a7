#pragma once

#include <QString>

namespace textfile {

/// The decimal digits of a number not below zero in full-width form ("５００"), as the messages
/// word the tables' limits.
inline QString fullWidthDigits(qint64 number)
{
    QString digits = QString::number(number);
    for (QChar &c : digits) {
        if (c >= u'0' && c <= u'9')
            c = QChar(u'０' + (c.unicode() - u'0'));
    }
    return digits;
}

} // namespace textfile
