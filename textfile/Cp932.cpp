#include "textfile/Cp932.h"

#include "textfile/Cp932Table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

namespace table = cp932::table;

constexpr char16_t HeldByteBase = 0xDC00;

bool isHeldByte(char16_t unit)
{
    return unit >= HeldByteBase + 0x80 && unit <= HeldByteBase + 0xFF;
}

/// The character of every two-byte code, 0 for a pair that is none, spread out at compile time so
/// that a code is its own index.
constexpr std::array<char16_t, 0x10000> PairUnits = [] {
    std::array<char16_t, 0x10000> units {};
    for (size_t lead = 0; lead < std::size(table::Leads); ++lead) {
        for (unsigned second = table::FirstTrail; second <= table::LastTrail; ++second)
            units[size_t(table::Leads[lead]) << 8 | second] = table::Pairs[lead][second - table::FirstTrail];
    }
    return units;
}();

/// Decoding looks codes up in what glibc's converter makes of every one- and two-byte code, asked
/// when the table header was made, instead of calling the converter, which costs several times more
/// per character and loads tables of its own on each run. The converter is stateless, so its answer
/// for a code does not depend on what stands around it.
class DecodeTable
{
public:
    /// Decodes bytes into out; true when some byte had to be held.
    static bool decode(const QByteArray &bytes, QString &out)
    {
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
        const qsizetype size = bytes.size();
        out.resize(size);
        QChar *const start = out.data();
        QChar *next = start;
        bool held = false;
        for (qsizetype i = 0; i < size;) {
            const unsigned char first = in[i];
            const Kind kind = Kind(table::Kinds[first]);
            if (kind == Single) {
                *next++ = QChar(table::Singles[first]);
                ++i;
                continue;
            }
            if (kind == Lead && i + 1 < size) {
                if (const char16_t unit = PairUnits[size_t(first << 8 | in[i + 1])]) {
                    *next++ = QChar(unit);
                    i += 2;
                    continue;
                }
            }
            // Not a code, or a first byte torn off at the end: hold the byte and go on after it,
            // as the converter reports the sequence at its first byte.
            *next++ = QChar(char16_t(HeldByteBase + first));
            ++i;
            held = true;
        }
        out.truncate(next - start);
        return held;
    }

    /// Whether bytes decode without holding any byte; checked without building the text.
    static bool clean(const QByteArray &bytes)
    {
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
        const qsizetype size = bytes.size();
        for (qsizetype i = 0; i < size;) {
            const Kind kind = Kind(table::Kinds[in[i]]);
            if (kind == Single) {
                ++i;
                continue;
            }
            if (kind == Invalid || i + 1 == size || PairUnits[size_t(in[i] << 8 | in[i + 1])] == 0)
                return false;
            i += 2;
        }
        return true;
    }

private:
    enum Kind : unsigned char
    {
        Invalid,
        Single, ///< a complete code of one character
        Lead ///< the first byte of a two-byte code
    };
};

struct LookAlike
{
    char16_t from;
    char16_t to;
};

constexpr LookAlike LookAlikes[] = {
    { 0x301C, 0xFF5E },
    { 0x2212, 0xFF0D },
    { 0x2016, 0x2225 },
    { 0x00A2, 0xFFE0 },
    { 0x00A3, 0xFFE1 },
    { 0x00AC, 0xFFE2 },
    { 0x00A5, 0xFFE5 },
    { 0x203E, 0xFFE3 },
    { 0x2014, 0x2015 },
};

/// The character (one code point) starting at index in text.
QString characterAt(const QString &text, qsizetype index)
{
    if (QChar::isHighSurrogate(text.at(index).unicode()) && index + 1 < text.size()
        && QChar::isLowSurrogate(text.at(index + 1).unicode()))
        return text.mid(index, 2);
    return text.mid(index, 1);
}

/// The converter's code for every UTF-16 unit, and for the look-alikes the code of the character
/// they map to, made at compile time: the first code in byte order that decodes to the unit, but for
/// the converter's own choices the table header lists. Each code has its length (1 or 2) in bits 16
/// and up and its bytes below, first byte high; 0 when the converter cannot write the unit.
constexpr std::array<quint32, 0x10000> Codes = [] {
    std::array<quint32, 0x10000> codes {};
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (table::Kinds[byte] == 1 && codes[table::Singles[byte]] == 0)
            codes[table::Singles[byte]] = 1u << 16 | byte;
    }
    for (size_t lead = 0; lead < std::size(table::Leads); ++lead) {
        for (unsigned second = table::FirstTrail; second <= table::LastTrail; ++second) {
            const char16_t unit = table::Pairs[lead][second - table::FirstTrail];
            if (unit != 0 && codes[unit] == 0)
                codes[unit] = 2u << 16 | unsigned(table::Leads[lead]) << 8 | second;
        }
    }
    for (const table::Encoding &encoding : table::OtherEncodings)
        codes[encoding.unit] = encoding.code;
    for (const LookAlike &lookAlike : LookAlikes)
        codes[lookAlike.from] = codes[lookAlike.to];
    return codes;
}();

/// Whether the converter takes the code point beyond U+FFFF and writes nothing for it.
bool skipped(char32_t codePoint)
{
    return std::any_of(std::begin(table::Skipped), std::end(table::Skipped),
        [codePoint](const table::CodePoints &range) { return codePoint >= range.first && codePoint <= range.last; });
}

} // namespace

namespace cp932 {

QString decode(const QByteArray &bytes, bool *damaged)
{
    QString result;
    const bool held = DecodeTable::decode(bytes, result);
    if (damaged)
        *damaged = held;
    return result;
}

bool decodesCleanly(const QByteArray &bytes)
{
    return DecodeTable::clean(bytes);
}

QString normaliseLookAlikes(const QString &text)
{
    QString result = text;
    for (QChar &unit : result) {
        for (const LookAlike &lookAlike : LookAlikes) {
            if (unit.unicode() == lookAlike.from) {
                unit = QChar(lookAlike.to);
                break;
            }
        }
    }
    return result;
}

bool encode(const QString &text, QByteArray *out, QString *unencodable)
{
    const auto *const units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    // Every unit becomes at most two bytes.
    QByteArray bytes(size * 2, Qt::Uninitialized);
    char *next = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (const quint32 code = Codes[unit]) {
            if (code >> 16 == 2)
                *next++ = char(code >> 8);
            *next++ = char(code);
            continue;
        }
        if (isHeldByte(unit)) {
            *next++ = char(unit - HeldByteBase);
            continue;
        }
        // A unit the converter cannot write alone: of the surrogate pairs, it writes nothing for a
        // few and refuses the others whole.
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])
            && skipped(QChar::surrogateToUcs4(unit, units[i + 1]))) {
            ++i;
            continue;
        }
        if (unencodable)
            *unencodable = characterAt(text, i);
        return false;
    }
    bytes.truncate(next - bytes.constData());
    *out = bytes;
    return true;
}

QString firstUnencodable(const QString &text)
{
    QByteArray ignored;
    QString character;
    if (encode(text, &ignored, &character))
        return {};
    return character;
}

} // namespace cp932
