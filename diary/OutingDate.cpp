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

} // namespace

QDate readOutingDate(const QString &text)
{
    // NFKC turns full-width digits, slashes, hyphens, stops and spaces into their ASCII forms.
    const QString normal = text.normalized(QString::NormalizationForm_KC).trimmed();
    const QStringView view(normal);
    if (view.size() < 5)
        return {};
    qsizetype at = 0;
    const int year = readNumber(view, &at, 4);
    if (at != 4)
        return {};
    const QChar separator = view[at];
    const bool kanji = separator == u'年';
    if (!kanji && separator != u'/' && separator != u'-' && separator != u'.')
        return {};
    ++at;
    const int month = readNumber(view, &at, 2);
    if (month < 0 || !take(view, &at, kanji ? QChar(u'月') : separator))
        return {};
    const int day = readNumber(view, &at, 2);
    if (day < 0 || (kanji && !take(view, &at, QChar(u'日'))) || at != view.size())
        return {};
    return QDate(year, month, day);
}
