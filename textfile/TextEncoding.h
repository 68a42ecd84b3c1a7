#pragma once

#include <QByteArray>
#include <QString>

namespace textfile {

/// The encoding a data file was read in. The program writes only code page 932; the others are
/// read so that a file saved by another editor shows correctly until it is next rewritten.
enum class Encoding
{
    Cp932,
    Utf8,
    Utf16
};

/// The encoding found for a data file's bytes. Certain when a byte-order mark tells it, when only
/// one of the strict code page 932 and UTF-8 decoders takes the bytes, when neither does (code page
/// 932, its bad bytes held), for pure ASCII (code page 932) and for bytes whose encoding was
/// settled. Bytes beyond ASCII that both decoders take are a guess of the character-set detector,
/// which the user is to confirm.
struct EncodingGuess
{
    Encoding encoding = Encoding::Cp932;
    bool certain = true;

    bool operator==(const EncodingGuess &) const = default;
};

EncodingGuess encodingOf(const QByteArray &bytes);

/// A data file's text as decodeDataFile gives it. The parsers take it from a read, which decodes
/// each file once, or from bytes in hand, which it decodes on the way.
struct DecodedText
{
    DecodedText() = default;
    /// Not explicit: bytes in hand stand for their text wherever a parser takes one.
    DecodedText(const QByteArray &bytes);

    QString text;
    bool held = false; ///< some byte could not be decoded
    Encoding encoding = Encoding::Cp932;
    /// Whether the text is what the file's own code page 932 holds, every byte decoded.
    bool clean() const { return !held && encoding == Encoding::Cp932; }
};

/// Decodes the bytes of a data file in encodingOf(bytes), dropping a byte-order mark. Code page 932
/// holds undecodable bytes as cp932::decode does; in UTF-8 and UTF-16 they become U+FFFD. *damaged
/// is set when some bytes could not be decoded; *encoding to the encoding used.
QString decodeDataFile(const QByteArray &bytes, bool *damaged = nullptr, Encoding *encoding = nullptr);

/// Decodes the bytes in the given encoding, whatever encodingOf finds, as decodeDataFile decodes
/// in it: to show a file both ways.
QString decodeAs(const QByteArray &bytes, Encoding encoding, bool *damaged = nullptr);

/// Records the encoding of bytes whose encoding is a guess, as the user answered or as this
/// program wrote them: encodingOf gives it, certain, for the same bytes from now on, in any file.
/// Bytes whose encoding is certain by themselves are left alone.
void settleEncoding(const QByteArray &bytes, Encoding encoding);

/// A digest of the bytes (hexadecimal SHA-256), by which an answer can be kept across runs.
QString contentDigest(const QByteArray &bytes);

} // namespace textfile
