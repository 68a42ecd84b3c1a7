#include "textfile/TextEncoding.h"

#include "textfile/Cp932.h"

#include <QStringDecoder>

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

} // namespace

Encoding encodingOf(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf8Mark))
        return Encoding::Utf8;
    if (bytes.startsWith(Utf16LeMark) || bytes.startsWith(Utf16BeMark))
        return Encoding::Utf16;
    // Bytes that read cleanly as code page 932 stay code page 932, even where they are also
    // well-formed UTF-8 (a short list of kanji may be): every file this program writes must read
    // back as written. The UTF-8 question comes first: code page 932 text fails it at its first
    // Japanese character, where reading cleanly takes the whole file.
    if (isUtf8BeyondAscii(bytes) && !cp932::decodesCleanly(bytes))
        return Encoding::Utf8;
    return Encoding::Cp932;
}

QString decodeDataFile(const QByteArray &bytes, bool *damaged, Encoding *encoding)
{
    Encoding used = Encoding::Cp932;
    bool held = false;
    QString text;
    if (bytes.startsWith(Utf8Mark) || bytes.startsWith(Utf16LeMark) || bytes.startsWith(Utf16BeMark)) {
        used = encodingOf(bytes);
    } else {
        // Most files are code page 932: decoding tells at once whether they read cleanly, the
        // question encodingOf asks first, so the bytes are gone through once instead of twice.
        text = cp932::decode(bytes, &held);
        if (held && isUtf8BeyondAscii(bytes))
            used = Encoding::Utf8;
    }
    switch (used) {
    case Encoding::Cp932:
        break;
    case Encoding::Utf8:
        text = decodeWith(QStringConverter::Utf8, bytes, &held);
        break;
    case Encoding::Utf16:
        text = decodeWith(
            bytes.startsWith(Utf16LeMark) ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, bytes, &held);
        break;
    }
    if (encoding)
        *encoding = used;
    if (damaged)
        *damaged = held;
    return text;
}

} // namespace textfile
