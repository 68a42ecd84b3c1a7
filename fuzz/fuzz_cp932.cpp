// Decoding any bytes and encoding the result gives the same bytes back, except where the input
// held one of the duplicate codes of code page 932 (NEC row 13, NEC-selected and IBM extensions):
// those normalise to the one form the encoder writes, which decodes to the same character.
#include "textfile/Cp932.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool isDuplicateLead(unsigned char byte)
{
    return byte == 0x81 || byte == 0x87 || byte == 0xED || byte == 0xEE || byte == 0xFA || byte == 0xFB || byte == 0xFC;
}

/// The two-byte code starting at start decodes to one character, the same in both byte arrays.
bool sameCharacter(const QByteArray &original, const QByteArray &written, qsizetype start)
{
    if (start < 0 || start + 2 > original.size())
        return false;
    const QString before = cp932::decode(original.mid(start, 2));
    return before.size() == 1 && !before.at(0).isSurrogate() && before == cp932::decode(written.mid(start, 2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = cp932::decode(bytes);
    QByteArray encoded;
    if (!cp932::encode(text, &encoded) || encoded.size() != bytes.size())
        std::abort();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == encoded.at(i))
            continue;
        qsizetype start = i;
        if (!isDuplicateLead(static_cast<unsigned char>(bytes.at(i))) || !sameCharacter(bytes, encoded, i))
            start = i - 1;
        if (start < i
            && (!isDuplicateLead(static_cast<unsigned char>(bytes.at(start))) || !sameCharacter(bytes, encoded, start)))
            std::abort();
        i = start + 1;
    }
    return 0;
}
