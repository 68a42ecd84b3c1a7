#include "textfile/Cp932.h"

#include <QVector>

#include <cerrno>
#include <iconv.h>

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

} // namespace

namespace cp932 {

QString decode(const QByteArray &bytes, bool *damaged)
{
    if (damaged)
        *damaged = false;
    QString result;
    result.reserve(bytes.size());
    iconv_t handle = decoder().handle();
    auto *input = const_cast<char *>(bytes.constData());
    size_t inputLeft = size_t(bytes.size());
    QVector<char16_t> buffer(4096);
    while (inputLeft > 0) {
        auto *output = reinterpret_cast<char *>(buffer.data());
        size_t outputLeft = size_t(buffer.size()) * sizeof(char16_t);
        const size_t converted = iconv(handle, &input, &inputLeft, &output, &outputLeft);
        const qsizetype produced = (output - reinterpret_cast<char *>(buffer.data())) / 2;
        result.append(reinterpret_cast<const QChar *>(buffer.constData()), produced);
        if (converted != size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid sequence (EILSEQ) or a torn one at the end (EINVAL): hold its first byte.
        result.append(QChar(char16_t(HeldByteBase + static_cast<unsigned char>(*input))));
        ++input;
        --inputLeft;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        if (damaged)
            *damaged = true;
    }
    return result;
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
    const QString normalised = normaliseLookAlikes(text);
    QByteArray bytes;
    bytes.reserve(normalised.size() * 2);
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype runEnd) {
        if (runEnd == runStart)
            return true;
        const qsizetype failedAt = encodeRun(normalised.mid(runStart, runEnd - runStart), &bytes);
        if (failedAt < 0)
            return true;
        if (unencodable)
            *unencodable = characterAt(normalised, runStart + failedAt);
        return false;
    };
    for (qsizetype i = 0; i < normalised.size(); ++i) {
        const char16_t unit = normalised.at(i).unicode();
        if (!isHeldByte(unit))
            continue;
        if (!flushRun(i))
            return false;
        bytes.append(char(unit - HeldByteBase));
        runStart = i + 1;
    }
    if (!flushRun(normalised.size()))
        return false;
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
