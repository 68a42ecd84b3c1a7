#include "textfile/TextEncoding.h"

#include "textfile/Cp932.h"
#include "textfile/RunMemory.h"

#include <QCryptographicHash>
#include <QHash>
#include <QStringDecoder>

#include <mutex>
#include <optional>
#include <uchardet.h>

namespace textfile {

namespace {

const char Utf8Mark[] = "\xEF\xBB\xBF";
const char Utf16LeMark[] = "\xFF\xFE";
const char Utf16BeMark[] = "\xFE\xFF";

/// Replaces each surrogate that is not half of a pair with U+FFFD; true when there was one. Qt's
/// UTF-16 decoder lets them through, and one in U+DC80..U+DCFF would be written back as a held
/// code page 932 byte.
bool replaceLoneSurrogates(QString &text)
{
    bool replaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (!unit.isSurrogate())
            continue;
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        text[i] = QChar::ReplacementCharacter;
        replaced = true;
    }
    return replaced;
}

/// Decodes with Qt's converter, which drops a leading byte-order mark.
QString decodeWith(QStringConverter::Encoding encoding, const QByteArray &bytes, bool *damaged)
{
    QStringDecoder decoder(encoding);
    QString text = decoder.decode(bytes);
    const bool replaced = replaceLoneSurrogates(text);
    *damaged = decoder.hasError() || replaced;
    return text;
}

/// Whether bytes are well-formed UTF-8 holding at least one multi-byte character; stops at the
/// first byte that is not.
bool isUtf8BeyondAscii(const QByteArray &bytes)
{
    bool beyondAscii = false;
    const auto *byte = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = byte + bytes.size();
    while (byte < end) {
        const unsigned char lead = *byte++;
        if (lead < 0x80)
            continue;
        int following = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            following = 1;
            code = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            following = 2;
            code = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            following = 3;
            code = lead & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (end - byte < following)
            return false;
        for (int i = 0; i < following; ++i) {
            if ((byte[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (byte[i] & 0x3F);
        }
        byte += following;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        beyondAscii = true;
    }
    return beyondAscii;
}

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

/// What the character-set detector makes of the bytes: UTF-8, or code page 932 for whatever else
/// it names (Shift_JIS and its variants, or a code page this program never reads).
Encoding detectedEncoding(const QByteArray &bytes)
{
    const uchardet_t detector = uchardet_new();
    if (!detector)
        return Encoding::Cp932;
    Encoding found = Encoding::Cp932;
    if (uchardet_handle_data(detector, bytes.constData(), size_t(bytes.size())) == 0) {
        uchardet_data_end(detector);
        if (qstricmp(uchardet_get_charset(detector), "UTF-8") == 0)
            found = Encoding::Utf8;
    }
    uchardet_delete(detector);
    return found;
}

/// The encoding of unmarked bytes that are well-formed UTF-8 beyond ASCII; cleanCp932: whether
/// they also read cleanly as code page 932.
EncodingGuess guessUtf8Like(const QByteArray &bytes, bool cleanCp932)
{
    if (!cleanCp932)
        return { Encoding::Utf8, true };
    // Many Japanese names in UTF-8 (カラオケ館, 鈴木) are also clean code page 932, and a few code
    // page 932 texts are well-formed UTF-8: the bytes alone cannot tell.
    if (const std::optional<Encoding> settled = settledEncodings().find(digestOf(bytes)))
        return { *settled, true };
    return { detectedEncoding(bytes), false };
}

std::optional<Encoding> markedEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf8Mark))
        return Encoding::Utf8;
    if (bytes.startsWith(Utf16LeMark) || bytes.startsWith(Utf16BeMark))
        return Encoding::Utf16;
    return std::nullopt;
}

} // namespace

EncodingGuess encodingOf(const QByteArray &bytes)
{
    if (const std::optional<Encoding> marked = markedEncoding(bytes))
        return { *marked, true };
    // The UTF-8 question comes first: code page 932 text fails it at its first Japanese character,
    // where reading cleanly takes the whole file.
    if (!isUtf8BeyondAscii(bytes))
        return { Encoding::Cp932, true };
    return guessUtf8Like(bytes, cp932::decodesCleanly(bytes));
}

QString decodeDataFile(const QByteArray &bytes, bool *damaged, Encoding *encoding)
{
    Encoding used = Encoding::Cp932;
    bool held = false;
    QString text;
    if (const std::optional<Encoding> marked = markedEncoding(bytes)) {
        used = *marked;
    } else {
        // Most files are code page 932: decoding tells at once whether they read cleanly, the
        // question encodingOf asks second, so the bytes are gone through once instead of twice.
        text = cp932::decode(bytes, &held);
        if (isUtf8BeyondAscii(bytes))
            used = guessUtf8Like(bytes, !held).encoding;
    }
    if (used != Encoding::Cp932)
        text = decodeAs(bytes, used, &held);
    if (encoding)
        *encoding = used;
    if (damaged)
        *damaged = held;
    return text;
}

DecodedText::DecodedText(const QByteArray &bytes)
{
    text = decodeDataFile(bytes, &held, &encoding);
}

QString decodeAs(const QByteArray &bytes, Encoding encoding, bool *damaged)
{
    bool held = false;
    QString text;
    switch (encoding) {
    case Encoding::Cp932:
        text = cp932::decode(bytes, &held);
        break;
    case Encoding::Utf8:
        text = decodeWith(QStringConverter::Utf8, bytes, &held);
        break;
    case Encoding::Utf16:
        text = decodeWith(
            bytes.startsWith(Utf16LeMark) ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, bytes, &held);
        break;
    }
    if (damaged)
        *damaged = held;
    return text;
}

void settleEncoding(const QByteArray &bytes, Encoding encoding)
{
    if (markedEncoding(bytes) || !isUtf8BeyondAscii(bytes) || !cp932::decodesCleanly(bytes))
        return;
    settledEncodings().set(digestOf(bytes), encoding);
}

QString contentDigest(const QByteArray &bytes)
{
    return QString::fromLatin1(digestOf(bytes).toHex());
}

SettledEncodings &settledEncodings()
{
    static SettledEncodings encodings;
    return encodings;
}

} // namespace textfile
