#include "textfile/Cp932.h"

#include <QVector>

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace {

constexpr char16_t HeldByteBase = 0xDC00;

bool isHeldByte(char16_t unit)
{
    return unit >= HeldByteBase + 0x80 && unit <= HeldByteBase + 0xFF;
}

/// One conversion direction, opened once and reset before each use. glibc's "CP932" is strict:
/// it fails on what it cannot convert instead of substituting.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_handle(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_handle != invalid())
            iconv_close(m_handle);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    iconv_t handle()
    {
        Q_ASSERT(m_handle != invalid());
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        return m_handle;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t m_handle;
};

Converter &decoder()
{
    static Converter converter("UTF-16LE", "CP932");
    return converter;
}

/// What glibc's converter makes of every one- and two-byte code, asked once: decoding then looks
/// codes up instead of calling the converter, which costs several times more per character. The
/// converter is stateless, so its answer for a code does not depend on what stands around it.
class DecodeTable
{
public:
    DecodeTable()
        : m_pairs(size_t(256) * 256, 0)
    {
        for (int first = 0; first < 256; ++first) {
            const char code[] = { char(first) };
            m_kinds[size_t(first)] = classify(code, 1, &m_singles[size_t(first)]);
            if (m_kinds[size_t(first)] != Lead)
                continue;
            for (int second = 0; second < 256; ++second) {
                const char pair[] = { char(first), char(second) };
                char16_t unit = 0;
                if (classify(pair, 2, &unit) == Single)
                    m_pairs[size_t(first << 8 | second)] = unit;
            }
        }
    }

    /// Decodes bytes into out; true when some byte had to be held.
    bool decode(const QByteArray &bytes, QString &out) const
    {
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
        const qsizetype size = bytes.size();
        out.resize(size);
        QChar *const start = out.data();
        QChar *next = start;
        bool held = false;
        for (qsizetype i = 0; i < size;) {
            const unsigned char first = in[i];
            const Kind kind = m_kinds[first];
            if (kind == Single) {
                *next++ = QChar(m_singles[first]);
                ++i;
                continue;
            }
            if (kind == Lead && i + 1 < size) {
                if (const char16_t unit = m_pairs[size_t(first << 8 | in[i + 1])]) {
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
    bool clean(const QByteArray &bytes) const
    {
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
        const qsizetype size = bytes.size();
        for (qsizetype i = 0; i < size;) {
            const Kind kind = m_kinds[in[i]];
            if (kind == Single) {
                ++i;
                continue;
            }
            if (kind == Invalid || i + 1 == size || m_pairs[size_t(in[i] << 8 | in[i + 1])] == 0)
                return false;
            i += 2;
        }
        return true;
    }

    /// Every character some code decodes to.
    std::vector<char16_t> characters() const
    {
        std::vector<char16_t> all;
        for (int first = 0; first < 256; ++first) {
            if (m_kinds[size_t(first)] == Single)
                all.push_back(m_singles[size_t(first)]);
        }
        for (const char16_t unit : m_pairs) {
            if (unit != 0)
                all.push_back(unit);
        }
        return all;
    }

private:
    enum Kind : unsigned char
    {
        Invalid,
        Single, ///< a complete code of one character
        Lead ///< the first byte of a two-byte code
    };

    /// A code that converts whole to exactly one UTF-16 unit is Single; one the converter wants
    /// more bytes for is Lead; anything else is Invalid.
    static Kind classify(const char *code, size_t size, char16_t *unit)
    {
        iconv_t handle = decoder().handle();
        char *input = const_cast<char *>(code);
        size_t inputLeft = size;
        char16_t output[4] = {};
        auto *outputBytes = reinterpret_cast<char *>(output);
        size_t outputLeft = sizeof output;
        if (iconv(handle, &input, &inputLeft, &outputBytes, &outputLeft) != size_t(-1)) {
            if (inputLeft == 0 && sizeof output - outputLeft == sizeof(char16_t)) {
                *unit = output[0];
                // A unit of 0 marks an unknown pair in the table; only the one-byte code 0 has it.
                return *unit != 0 || size == 1 ? Single : Invalid;
            }
            return Invalid;
        }
        return errno == EINVAL && size == 1 ? Lead : Invalid;
    }

    std::array<Kind, 256> m_kinds {};
    std::array<char16_t, 256> m_singles {};
    std::vector<char16_t> m_pairs;
};

const DecodeTable &decodeTable()
{
    static const DecodeTable table;
    return table;
}

Converter &encoder()
{
    static Converter converter("CP932", "UTF-16LE");
    return converter;
}

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

/// Converts a run of characters none of which is a held byte. Returns the index within run of the
/// first character that cannot be converted, or -1 when the whole run was appended to out.
qsizetype encodeRun(const QString &run, QByteArray *out)
{
    iconv_t handle = encoder().handle();
    auto *input = const_cast<char *>(reinterpret_cast<const char *>(run.utf16()));
    size_t inputLeft = size_t(run.size()) * 2;
    const char *const inputStart = input;
    // Every UTF-16 unit becomes at most two bytes.
    QByteArray buffer(qsizetype(inputLeft) + 16, Qt::Uninitialized);
    char *output = buffer.data();
    size_t outputLeft = size_t(buffer.size());
    if (iconv(handle, &input, &inputLeft, &output, &outputLeft) == size_t(-1))
        return (input - inputStart) / 2;
    out->append(buffer.constData(), buffer.size() - qsizetype(outputLeft));
    return -1;
}

/// The converter's code for every character decoding can give, and for the look-alikes the code of
/// the character they map to, asked once. Characters it does not know go to the converter itself.
class EncodeTable
{
public:
    EncodeTable()
        : m_codes(size_t(0x10000), 0)
    {
        for (const char16_t unit : decodeTable().characters()) {
            if (m_codes[unit] == 0)
                m_codes[unit] = convert(unit);
        }
        for (const LookAlike &lookAlike : LookAlikes)
            m_codes[lookAlike.from] = m_codes[lookAlike.to];
    }

    /// The length of the unit's code (1 or 2) in bits 16 and up and its bytes below, first byte
    /// high; 0 when the table does not know the unit.
    quint32 code(char16_t unit) const { return m_codes[unit]; }

private:
    static quint32 convert(char16_t unit)
    {
        iconv_t handle = encoder().handle();
        auto *input = reinterpret_cast<char *>(&unit);
        size_t inputLeft = sizeof unit;
        unsigned char output[4] = {};
        auto *outputBytes = reinterpret_cast<char *>(output);
        size_t outputLeft = sizeof output;
        if (iconv(handle, &input, &inputLeft, &outputBytes, &outputLeft) == size_t(-1))
            return 0;
        switch (sizeof output - outputLeft) {
        case 1:
            return 1u << 16 | output[0];
        case 2:
            return 2u << 16 | quint32(output[0]) << 8 | output[1];
        default:
            return 0;
        }
    }

    std::vector<quint32> m_codes;
};

const EncodeTable &encodeTable()
{
    static const EncodeTable table;
    return table;
}

} // namespace

namespace cp932 {

QString decode(const QByteArray &bytes, bool *damaged)
{
    QString result;
    const bool held = decodeTable().decode(bytes, result);
    if (damaged)
        *damaged = held;
    return result;
}

bool decodesCleanly(const QByteArray &bytes)
{
    return decodeTable().clean(bytes);
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
    const EncodeTable &table = encodeTable();
    const auto *const units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    // Every unit becomes at most two bytes.
    QByteArray bytes(size * 2, Qt::Uninitialized);
    char *next = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (const quint32 code = table.code(unit)) {
            if (code >> 16 == 2)
                *next++ = char(code >> 8);
            *next++ = char(code);
            continue;
        }
        if (isHeldByte(unit)) {
            *next++ = char(unit - HeldByteBase);
            continue;
        }
        // A character no code decodes to, a surrogate pair whole: the converter decides.
        const QString character = characterAt(text, i);
        QByteArray converted;
        if (encodeRun(character, &converted) >= 0) {
            if (unencodable)
                *unencodable = character;
            return false;
        }
        const qsizetype written = next - bytes.constData();
        bytes.resize(written + converted.size() + (size - i) * 2);
        next = std::copy(converted.cbegin(), converted.cend(), bytes.data() + written);
        i += character.size() - 1;
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
