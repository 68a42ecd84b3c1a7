#include "textfile/Records.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace textfile {

namespace {

/// The value of a plain ASCII number (sign, digits, point, exponent) as strtod gives it, an
/// overflow as infinity and an underflow as zero, but always with "." as the point: strtod reads by
/// the C library's locale, which the application takes from the user's, where it may be a comma.
double toDouble(const QByteArray &number)
{
    const char *first = number.constData();
    const char *const last = first + number.size();
    const bool negative = *first == '-';
    if (*first == '+' || negative)
        ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec != std::errc::result_out_of_range)
        return negative ? -value : value;
    // Out of range: whether it is too large or too small, from where its first significant digit
    // stands and its exponent.
    const qsizetype exponentAt = number.indexOf('e');
    const QByteArray mantissa = exponentAt < 0 ? number : number.left(exponentAt);
    const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
    qsizetype firstDigit = 0;
    while (firstDigit < mantissa.size() && (mantissa.at(firstDigit) < '1' || mantissa.at(firstDigit) > '9'))
        ++firstDigit;
    const qint64 exponent = exponentAt < 0 ? 0 : number.mid(exponentAt + 1).toLongLong();
    const qint64 magnitude = exponent + (firstDigit < point ? point - firstDigit : point - firstDigit + 1);
    const double outside = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -outside : outside;
}

} // namespace

QStringList parseRecordFields(QStringView line)
{
    QStringList fields;
    if (line.isEmpty())
        return fields;
    // Room for the longest record of the data files, the song catalogue's seven fields.
    fields.reserve(7);
    qsizetype pos = 0;
    const qsizetype size = line.size();
    while (true) {
        while (pos < size && line.at(pos) == u' ')
            ++pos;
        qsizetype nextComma;
        if (pos < size && line.at(pos) == u'"') {
            const qsizetype closing = line.indexOf(u'"', pos + 1);
            if (closing < 0) {
                fields.append(line.mid(pos + 1).toString());
                break;
            }
            fields.append(line.mid(pos + 1, closing - pos - 1).toString());
            nextComma = line.indexOf(u',', closing + 1);
        } else {
            nextComma = line.indexOf(u',', pos);
            fields.append(line.mid(pos, nextComma < 0 ? -1 : nextComma - pos).toString());
        }
        if (nextComma < 0)
            break;
        pos = nextComma + 1;
    }
    return fields;
}

QString quoteField(const QString &text)
{
    return u'"' + text + u'"';
}

std::optional<double> leadingNumber(const QString &text)
{
    qsizetype pos = 0;
    while (pos < text.size() && (text.at(pos) == u' ' || text.at(pos) == u'\t'))
        ++pos;
    QByteArray number;
    if (pos < text.size() && (text.at(pos) == u'-' || text.at(pos) == u'+'))
        number += char(text.at(pos++).unicode());
    const auto isDigit = [&](qsizetype at) { return at < text.size() && text.at(at) >= u'0' && text.at(at) <= u'9'; };
    bool anyDigit = false;
    while (isDigit(pos)) {
        number += char(text.at(pos++).unicode());
        anyDigit = true;
    }
    if (pos < text.size() && text.at(pos) == u'.') {
        number += '.';
        ++pos;
        while (isDigit(pos)) {
            number += char(text.at(pos++).unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (pos < text.size() && (text.at(pos) == u'e' || text.at(pos) == u'E')) {
        qsizetype exponentPos = pos + 1;
        QByteArray exponent = "e";
        if (exponentPos < text.size() && (text.at(exponentPos) == u'-' || text.at(exponentPos) == u'+'))
            exponent += char(text.at(exponentPos++).unicode());
        if (isDigit(exponentPos)) {
            while (isDigit(exponentPos))
                exponent += char(text.at(exponentPos++).unicode());
            number += exponent;
        }
    }
    return toDouble(number);
}

std::optional<double> decimalNumber(const QString &text)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    qsizetype i = begin;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    for (; i < end && isDigit(text.at(i)); ++i)
        ++digits;
    if (i < end && text.at(i) == u'.') {
        for (++i; i < end && isDigit(text.at(i)); ++i)
            ++digits;
    }
    if (digits == 0 || i != end)
        return std::nullopt;
    return text.mid(begin, end - begin).toDouble();
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = 9.0e18;
    if (value >= limit)
        return qint64(limit);
    if (value <= -limit)
        return -qint64(limit);
    // The default floating-point rounding mode rounds halves to the even neighbour.
    return qint64(std::nearbyint(value));
}

qint16 clampToInt16(qint64 value)
{
    if (value > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    if (value < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    return qint16(value);
}

qint16 parseInt16Field(const QString &field)
{
    const std::optional<double> number = leadingNumber(field);
    return number ? clampToInt16(roundHalfEven(*number)) : qint16(0);
}

} // namespace textfile
