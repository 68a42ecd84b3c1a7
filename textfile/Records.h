#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// Quoted comma-separated records of the song, artist and personal data files, and the number
/// reading the program uses for typed and stored numbers.
namespace textfile {

/// Splits one line into fields: fields are separated by commas; leading spaces of a field are
/// skipped; a field that begins with a double quote runs to the next double quote and whatever
/// follows it up to the next comma is skipped; an unquoted field runs to the next comma.
/// An empty line has no fields.
QStringList parseRecordFields(QStringView line);

/// Double quote, the text unchanged, double quote.
QString quoteField(const QString &text);

/// The decimal number at the start of text (leading blanks skipped, optional sign, digits with an
/// optional fraction), or nothing when text does not start with a number.
std::optional<double> leadingNumber(const QString &text);

/// The number when the whole text, apart from blanks and tabs around it, is a plain decimal: an
/// optional sign, ASCII digits and an optional fraction ("10", "-3", "2.5", ".5"). Exponents,
/// thousands separators and full-width digits do not read as a number.
std::optional<double> decimalNumber(const QString &text);

/// Rounds to the nearest whole number, halves to the even neighbour.
qint64 roundHalfEven(double value);

/// Clamps into the signed 16-bit range.
qint16 clampToInt16(qint64 value);

/// A stored 16-bit number field: the leading number rounded half to even and clamped; 0 when none.
qint16 parseInt16Field(const QString &field);

} // namespace textfile
