// Writes Cp932Table.h: what glibc's "CP932" converter makes of every code and every character,
// asked once here so that the program needs no converter at run time. Run after a glibc update:
//   cmake --build BUILD --target cp932-table
// test_cp932 compares the codec with the converter of the machine it runs on, code by code.

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum Kind : int
{
    Invalid,
    Single,
    Lead
};

class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_handle(iconv_open(to, from))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            std::fprintf(stderr, "no converter from %s to %s\n", from, to);
            std::exit(1);
        }
    }
    ~Converter() { iconv_close(m_handle); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    /// Converts input whole; returns the bytes written, or -1 with errno set.
    long convert(const void *input, size_t size, unsigned char *output, size_t capacity)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        auto *in = const_cast<char *>(static_cast<const char *>(input));
        size_t inLeft = size;
        auto *out = reinterpret_cast<char *>(output);
        size_t outLeft = capacity;
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == size_t(-1))
            return -1;
        if (inLeft != 0) {
            errno = EINVAL;
            return -1;
        }
        return long(capacity - outLeft);
    }

private:
    iconv_t m_handle;
};

/// A code that converts whole to exactly one UTF-16 unit is Single; one the converter wants more
/// bytes for is Lead; anything else is Invalid. A unit of 0 marks an unknown pair, so only the
/// one-byte code 0 may decode to it.
Kind classify(Converter &decoder, const unsigned char *code, size_t size, char16_t *unit)
{
    unsigned char output[8] = {};
    const long written = decoder.convert(code, size, output, sizeof output);
    if (written == 2) {
        *unit = char16_t(output[0] | output[1] << 8);
        return *unit != 0 || size == 1 ? Single : Invalid;
    }
    if (written >= 0)
        return Invalid;
    return errno == EINVAL && size == 1 ? Lead : Invalid;
}

/// The code the converter writes for a code point: its length (1 or 2) in bits 16 and up and its
/// bytes below, first byte high; 0 when it refuses it; -1 when it takes it and writes nothing.
long long encodeCodePoint(Converter &encoder, char32_t codePoint)
{
    const unsigned char input[4] = { static_cast<unsigned char>(codePoint), static_cast<unsigned char>(codePoint >> 8),
        static_cast<unsigned char>(codePoint >> 16), static_cast<unsigned char>(codePoint >> 24) };
    unsigned char output[8] = {};
    switch (encoder.convert(input, sizeof input, output, sizeof output)) {
    case -1:
        return 0;
    case 0:
        return -1;
    case 1:
        return 1 << 16 | output[0];
    case 2:
        return 2 << 16 | output[0] << 8 | output[1];
    default:
        std::fprintf(stderr, "U+%04X encodes to more than two bytes\n", unsigned(codePoint));
        std::exit(1);
    }
}

std::string hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

/// Writes values as the body of an array, sixteen to a line; four-digit values without spaces, to
/// stay within 120 columns.
void writeValues(std::FILE *out, const std::vector<unsigned> &values, int digits, const char *indent)
{
    for (size_t i = 0; i < values.size(); ++i) {
        std::fputs(i % 16 == 0 ? indent : digits < 4 ? " " : "", out);
        std::fputs(hex(values[i], digits).c_str(), out);
        std::fputs(",", out);
        if (i % 16 == 15 || i + 1 == values.size())
            std::fputs("\n", out);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s Cp932Table.h\n", argv[0]);
        return 2;
    }
    Converter decoder("UTF-16LE", "CP932");
    Converter encoder("CP932", "UTF-32LE");

    std::array<unsigned, 256> kinds {};
    std::array<unsigned, 256> singles {};
    std::vector<unsigned> leads;
    std::vector<std::vector<char16_t>> pairs;
    unsigned firstTrail = 0xFF;
    unsigned lastTrail = 0;
    for (unsigned first = 0; first < 256; ++first) {
        const unsigned char code[] = { static_cast<unsigned char>(first) };
        char16_t unit = 0;
        kinds[first] = classify(decoder, code, 1, &unit);
        if (kinds[first] == Single)
            singles[first] = unit;
        if (kinds[first] != Lead)
            continue;
        leads.push_back(first);
        std::vector<char16_t> row(256, 0);
        for (unsigned second = 0; second < 256; ++second) {
            const unsigned char pair[] = { static_cast<unsigned char>(first), static_cast<unsigned char>(second) };
            if (classify(decoder, pair, 2, &unit) == Single) {
                row[second] = unit;
                firstTrail = std::min(firstTrail, second);
                lastTrail = std::max(lastTrail, second);
            }
        }
        pairs.push_back(row);
    }

    // The codec encodes each character to the first code, in byte order, that decodes to it; the
    // converter's exceptions to that are listed.
    std::vector<long long> firstCodes(0x10000, 0);
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (kinds[byte] == Single && firstCodes[singles[byte]] == 0)
            firstCodes[singles[byte]] = 1 << 16 | byte;
    }
    for (size_t lead = 0; lead < leads.size(); ++lead) {
        for (unsigned second = 0; second < 256; ++second) {
            const char16_t unit = pairs[lead][second];
            if (unit != 0 && firstCodes[unit] == 0)
                firstCodes[unit] = 2 << 16 | leads[lead] << 8 | second;
        }
    }
    std::vector<unsigned> exceptions;
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            continue; // not characters on their own; the converter refuses them
        const long long code = encodeCodePoint(encoder, unit);
        if (code < 0) {
            std::fprintf(stderr, "U+%04X encodes to nothing\n", unsigned(unit));
            return 1;
        }
        if (code != firstCodes[unit]) {
            exceptions.push_back(unsigned(unit));
            exceptions.push_back(unsigned(code));
        }
    }
    // Beyond U+FFFF the converter writes nothing at all; it takes some code points and writes
    // nothing for them (the tag characters), and refuses the rest.
    std::vector<unsigned> skipped;
    for (char32_t codePoint = 0x10000; codePoint < 0x110000; ++codePoint) {
        const long long code = encodeCodePoint(encoder, codePoint);
        if (code > 0) {
            std::fprintf(stderr, "U+%04X encodes to a code\n", unsigned(codePoint));
            return 1;
        }
        if (code < 0) {
            if (!skipped.empty() && skipped.back() == codePoint - 1)
                skipped.back() = codePoint;
            else
                skipped.insert(skipped.end(), { unsigned(codePoint), unsigned(codePoint) });
        }
    }

    std::FILE *out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs("// Made by textfile/MakeCp932Table.cpp from glibc's \"CP932\" converter; do not edit.\n"
               "#pragma once\n\n"
               "// clang-format off\n"
               "namespace cp932::table {\n\n"
               "/// What each byte is on its own: 0 no code, 1 a code of one character, 2 the first byte of a\n"
               "/// two-byte code.\n"
               "inline constexpr unsigned char Kinds[256] = {\n",
        out);
    writeValues(out, std::vector<unsigned>(kinds.begin(), kinds.end()), 1, "    ");
    std::fputs("};\n\n/// The character of each one-byte code, 0 for the other bytes.\n"
               "inline constexpr char16_t Singles[256] = {\n",
        out);
    writeValues(out, std::vector<unsigned>(singles.begin(), singles.end()), 4, "    ");
    std::fprintf(out,
        "};\n\n/// Second bytes of two-byte codes lie from FirstTrail to LastTrail.\n"
        "inline constexpr unsigned FirstTrail = %s;\n"
        "inline constexpr unsigned LastTrail = %s;\n\n"
        "/// The first bytes of two-byte codes, in order.\n"
        "inline constexpr unsigned char Leads[%zu] = {\n",
        hex(firstTrail, 2).c_str(), hex(lastTrail, 2).c_str(), leads.size());
    writeValues(out, leads, 2, "    ");
    std::fprintf(out,
        "};\n\n/// Pairs[i][j]: the character of the code Leads[i], FirstTrail + j; 0 when that is no code.\n"
        "inline constexpr char16_t Pairs[%zu][LastTrail - FirstTrail + 1] = {\n",
        leads.size());
    for (size_t lead = 0; lead < leads.size(); ++lead) {
        std::fprintf(out, "    { // %s\n", hex(leads[lead], 2).c_str());
        writeValues(out, std::vector<unsigned>(pairs[lead].begin() + firstTrail, pairs[lead].begin() + lastTrail + 1),
            4, "        ");
        std::fputs("    },\n", out);
    }
    std::fputs("};\n\nstruct Encoding\n{\n    char16_t unit;\n    unsigned code;\n};\n\n"
               "/// Characters the converter does not encode to the first code, in byte order, that decodes to\n"
               "/// them: their code, with its length (1 or 2) in bits 16 and up and its bytes below, first byte\n"
               "/// high; 0 when the converter refuses them.\n"
               "inline constexpr Encoding OtherEncodings[] = {\n",
        out);
    for (size_t i = 0; i < exceptions.size(); i += 2)
        std::fprintf(out, "    { %s, %s },\n", hex(exceptions[i], 4).c_str(), hex(exceptions[i + 1], 5).c_str());
    std::fputs("};\n\nstruct CodePoints\n{\n    char32_t first;\n    char32_t last;\n};\n\n"
               "/// Code points beyond U+FFFF that the converter takes and writes nothing for; it refuses all the\n"
               "/// others.\n"
               "inline constexpr CodePoints Skipped[] = {\n",
        out);
    for (size_t i = 0; i < skipped.size(); i += 2)
        std::fprintf(out, "    { %s, %s },\n", hex(skipped[i], 5).c_str(), hex(skipped[i + 1], 5).c_str());
    std::fputs("};\n\n} // namespace cp932::table\n// clang-format on\n", out);
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
