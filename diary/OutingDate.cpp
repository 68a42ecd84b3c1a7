#include "diary/OutingDate.h"

namespace {

/// Reads one to maxDigits ASCII digits at text[*at], moving *at past them; -1 when none.
int readNumber(QStringView text, qsizetype *at, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (*at < text.size() && digits < maxDigits) {
        const char16_t c = text[*at].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        ++digits;
        ++*at;
    }
    return digits > 0 ? value : -1;
}

bool take(QStringView text, qsizetype *at, QChar expected)
{
    if (*at >= text.size() || text[*at] != expected)
        return false;
    ++*at;
    return true;
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'-' || c == u'.';
}

} // namespace

bool PartialDate::covers(QDate date) const
{
    return date.isValid() && (year == 0 || date.year() == year) && date.month() == month
        && (day == 0 || date.day() == day);
}

std::optional<PartialDate> readPartialDate(const QString &text)
{
    // NFKC turns full-width digits, slashes, hyphens, stops and spaces into their ASCII forms.
    const QString normal = text.normalized(QString::NormalizationForm_KC).trimmed();
    const QStringView view(normal);
    qsizetype at = 0;
    const int first = readNumber(view, &at, 4);
    if (first < 0 || at == view.size() || at == 3)
        return {};
    PartialDate date;
    const bool withYear = at == 4;
    const QChar separator = view[at++];
    if (withYear) {
        // A year, then a month, then perhaps a day.
        const bool kanji = separator == u'年';
        if (!kanji && !isSeparator(separator))
            return {};
        // There is no year 0; it would read as any year.
        if (first == 0)
            return {};
        date.year = first;
        date.month = readNumber(view, &at, 2);
        if (date.month < 0)
            return {};
        if (kanji && !take(view, &at, QChar(u'月')))
            return {};
        if (at < view.size()) {
            if (!kanji && !take(view, &at, separator))
                return {};
            date.day = readNumber(view, &at, 2);
            if (date.day < 0 || (kanji && !take(view, &at, QChar(u'日'))))
                return {};
        }
    } else {
        // A month and a day. Only a slash, so that "1-2" or "3.5" stay words.
        const bool kanji = separator == u'月';
        if (!kanji && separator != u'/')
            return {};
        date.month = first;
        date.day = readNumber(view, &at, 2);
        if (date.day < 0 || (kanji && !take(view, &at, QChar(u'日'))))
            return {};
    }
    if (at != view.size())
        return {};
    // A month and day alone need only exist in some year: 2000 has 29 February.
    const QDate check(date.year != 0 ? date.year : 2000, date.month, date.day != 0 ? date.day : 1);
    if (!check.isValid())
        return {};
    return date;
}

QDate readOutingDate(const QString &text)
{
    const std::optional<PartialDate> date = readPartialDate(text);
    if (!date || date->year == 0 || date->day == 0)
        return {};
    return QDate(date->year, date->month, date->day);
}
