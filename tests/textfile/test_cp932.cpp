#include "textfile/Cp932.h"
#include "textfile/Records.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <QScopeGuard>
#include <QTest>

#include <clocale>

#include <algorithm>
#include <iconv.h>

namespace {

bool isHeldByte(QChar unit)
{
    return unit.unicode() >= 0xDC80 && unit.unicode() <= 0xDCFF;
}

/// glibc's converter used directly, as the reference the codec's tables must agree with.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_handle(iconv_open(to, from))
    {
    }
    ~Converter() { iconv_close(m_handle); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    /// Converts input whole; false when the converter stops before its end.
    bool convert(const QByteArray &input, QByteArray *output)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        auto *in = const_cast<char *>(input.constData());
        size_t inLeft = size_t(input.size());
        QByteArray buffer(input.size() * 4 + 8, Qt::Uninitialized);
        char *out = buffer.data();
        size_t outLeft = size_t(buffer.size());
        const bool whole = iconv(m_handle, &in, &inLeft, &out, &outLeft) != size_t(-1);
        *output = buffer.left(buffer.size() - qsizetype(outLeft));
        return whole;
    }

    /// Decodes as the converter does run by run: a byte it cannot take at the start of a sequence
    /// is held as U+DC00 plus the byte, and conversion goes on after it.
    QString decodeHoldingBytes(const QByteArray &bytes)
    {
        QString text;
        qsizetype at = 0;
        while (at < bytes.size()) {
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
            auto *in = const_cast<char *>(bytes.constData() + at);
            size_t inLeft = size_t(bytes.size() - at);
            QByteArray buffer(qsizetype(inLeft) * 4 + 8, Qt::Uninitialized);
            char *out = buffer.data();
            size_t outLeft = size_t(buffer.size());
            const bool whole = iconv(m_handle, &in, &inLeft, &out, &outLeft) != size_t(-1);
            text += QString::fromUtf16(
                reinterpret_cast<const char16_t *>(buffer.constData()), (buffer.size() - qsizetype(outLeft)) / 2);
            at = in - bytes.constData();
            if (whole)
                break;
            text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes.at(at))));
            ++at;
        }
        return text;
    }

private:
    iconv_t m_handle;
};

} // namespace

Q_DECLARE_METATYPE(textfile::Encoding)

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marksHaveTheirExactBytes()
    {
        QByteArray bytes;
        QVERIFY(cp932::encode(QStringLiteral("◎○×－"), &bytes));
        QCOMPARE(bytes, QByteArray("\x81\x9D\x81\x9B\x81\x7E\x81\x7C"));
        QCOMPARE(cp932::decode(bytes), QStringLiteral("◎○×－"));
    }

    void japaneseTextRoundTrips()
    {
        const QString text = QStringLiteral("カラオケ【日付】2026年12月06日 ﾌﾟﾗｲﾍﾞｰﾄ ＼(^o^)／ﾔｯﾀｧ 髙");
        QByteArray bytes;
        QVERIFY(cp932::encode(text, &bytes));
        bool damaged = true;
        QCOMPARE(cp932::decode(bytes, &damaged), text);
        QVERIFY(!damaged);
        QCOMPARE(bytes.left(8), QByteArray("\x83\x4A\x83\x89\x83\x49\x83\x50"));
    }

    void lookAlikesFromInputMethodsAreMapped()
    {
        // WAVE DASH, MINUS SIGN, EM DASH and YEN SIGN as Linux input methods type them.
        QByteArray bytes;
        QVERIFY(cp932::encode(QStringLiteral("\u301C\u2212\u2014\u00A5"), &bytes));
        QCOMPARE(bytes, QByteArray("\x81\x60\x81\x7C\x81\x5C\x81\x8F"));
        QCOMPARE(cp932::decode(bytes), QStringLiteral("\uFF5E\uFF0D\u2015\uFFE5"));
        // A choice added to a list shows as the file will read back, before any read.
        QCOMPARE(cp932::normaliseLookAlikes(QStringLiteral("\u301C\u2212\u2014\u00A5")),
            QStringLiteral("\uFF5E\uFF0D\u2015\uFFE5"));
    }

    void unencodableCharacterIsNamed()
    {
        QByteArray bytes = "untouched";
        QString character;
        QVERIFY(!cp932::encode(QStringLiteral("歌😀手"), &bytes, &character));
        QCOMPARE(character, QStringLiteral("😀"));
        QCOMPARE(cp932::firstUnencodable(QStringLiteral("abc한d")), QStringLiteral("한"));
        QVERIFY(cp932::firstUnencodable(QStringLiteral("普通の歌")).isEmpty());
    }

    void invalidBytesAreHeldAndWrittenBack()
    {
        // A stray 0x80, a lead byte followed by a line end, and a lone lead byte at the very end.
        const QByteArray damagedBytes("A\x80"
                                      "B\x82\r\nC\x81",
            8);
        bool damaged = false;
        const QString text = cp932::decode(damagedBytes, &damaged);
        QVERIFY(damaged);
        const QString held = QStringLiteral("A") + QChar(0xDC80) + QStringLiteral("B") + QChar(0xDC82)
            + QStringLiteral("\r\nC") + QChar(0xDC81);
        QCOMPARE(text, held);
        QByteArray written;
        QVERIFY(cp932::encode(text, &written));
        QCOMPARE(written, damagedBytes);
        QVERIFY(cp932::firstUnencodable(text).isEmpty());
    }

    // The codec looks codes up in tables made from the converter when the table header was made;
    // every one- and two-byte input, and a long random one, must decode exactly as the converter of
    // this machine decodes it.
    void decodingAgreesWithTheConverterForEveryCode()
    {
        Converter converter("UTF-16LE", "CP932");
        QByteArray input;
        for (int first = 0; first < 256; ++first) {
            input = QByteArray(1, char(first));
            QCOMPARE(cp932::decode(input), converter.decodeHoldingBytes(input));
            for (int second = 0; second < 256; ++second) {
                input = QByteArray(1, char(first)) + char(second);
                const QString expected = converter.decodeHoldingBytes(input);
                bool damaged = false;
                if (cp932::decode(input, &damaged) != expected)
                    QFAIL(qPrintable(QStringLiteral("bytes %1").arg(QString::fromLatin1(input.toHex()))));
                QCOMPARE(damaged, std::any_of(expected.cbegin(), expected.cend(), isHeldByte));
            }
        }
        QByteArray noise(100000, Qt::Uninitialized);
        quint32 seed = 12345;
        for (char &byte : noise) {
            seed = seed * 1103515245 + 12345;
            byte = char(seed >> 16);
        }
        QCOMPARE(cp932::decode(noise), converter.decodeHoldingBytes(noise));
    }

    // Encoding also goes through a table; every UTF-16 unit must encode as the converter encodes
    // it (after the look-alike mapping), or be refused as the character the converter cannot take.
    void encodingAgreesWithTheConverterForEveryUnit()
    {
        Converter converter("CP932", "UTF-16LE");
        for (int unit = 0; unit < 0x10000; ++unit) {
            if (unit >= 0xDC80 && unit <= 0xDCFF)
                continue; // held bytes, tested above
            const QString text { QChar(char16_t(unit)) };
            const QString mapped = cp932::normaliseLookAlikes(text);
            QByteArray expected;
            const bool convertible = converter.convert(
                QByteArray(reinterpret_cast<const char *>(mapped.utf16()), mapped.size() * 2), &expected);
            QByteArray bytes;
            QString refused;
            const bool encoded = cp932::encode(text, &bytes, &refused);
            if (encoded != convertible || (encoded && bytes != expected) || (!encoded && refused != text))
                QFAIL(qPrintable(QStringLiteral("unit %1").arg(unit, 4, 16, QLatin1Char('0'))));
        }
        // A character outside the Basic Multilingual Plane is refused whole, as its surrogate pair.
        QString refused;
        QByteArray bytes;
        QVERIFY(!cp932::encode(QStringLiteral("a\U0001F3A4b"), &bytes, &refused));
        QCOMPARE(refused, QStringLiteral("\U0001F3A4"));
        // The converter takes a few of them and writes nothing for them (the tag characters).
        for (char32_t codePoint = 0x10000; codePoint < 0x110000; ++codePoint) {
            const QString text = QString::fromUcs4(&codePoint, 1);
            QByteArray expected;
            const bool convertible = converter.convert(
                QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2), &expected);
            const bool encoded = cp932::encode(text, &bytes, &refused);
            if (encoded != convertible || (encoded && bytes != expected) || (!encoded && refused != text))
                QFAIL(qPrintable(QStringLiteral("code point %1").arg(uint(codePoint), 5, 16, QLatin1Char('0'))));
        }
    }

    void dataFilesDecodeInTheirEncodingAndSplitAtEveryLineEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<textfile::Encoding>("encoding");
        QTest::addColumn<bool>("certain");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("ended");
        const auto cp932 = textfile::Encoding::Cp932;
        const auto utf8 = textfile::Encoding::Utf8;
        const QStringList places { "カラオケ館", "ビッグエコー", "ジャンカラ" };
        QTest::newRow("CR LF") << QByteArray("\x83\x4A\x83\x89\x83\x49\x83\x50\r\nb\r\n")
                               << QStringList({ "カラオケ", "b" }) << cp932 << true << false << true;
        QTest::newRow("LF, ASCII though valid UTF-8")
            << QByteArray("a\nb\n") << QStringList({ "a", "b" }) << cp932 << true << false << true;
        QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList({ "a", "b" }) << cp932 << true << false << true;
        QTest::newRow("mixed, a blank line, last unended")
            << QByteArray("a\r\nb\nc\r\r\nlast") << QStringList({ "a", "b", "c", "", "last" }) << cp932 << true << false
            << false;
        QTest::newRow("empty") << QByteArray() << QStringList() << cp932 << true << false << true;
        // The UTF-8 rows are in the UTF-8 of this source file.
        QTest::newRow("UTF-8 with its mark")
            << QByteArray("\xEF\xBB\xBF曲\r\n") << QStringList({ "曲" }) << utf8 << true << false << true;
        QTest::newRow("UTF-8 Japanese, no mark")
            << QByteArray("メンバー\rあいうえお") << QStringList({ "メンバー", "あいうえお" }) << utf8 << true << false
            << false;
        // Bytes both decoders take: the detector's guess, to be confirmed.
        QTest::newRow("UTF-8 names that are also code page 932")
            << QByteArray("カラオケ館\r\nビッグエコー\r\nジャンカラ\r\n") << places << utf8 << false << false << true;
        QTest::newRow("the same names in code page 932")
            << QByteArray::fromHex("834a8389834983508ad90d0a 83728362834f83478352815b0d0a 835783838393834a83890d0a")
            << places << cp932 << true << false << true;
        QTest::newRow("the mark decides")
            << QByteArray("\xEF\xBB\xBFカラオケ館") << QStringList({ "カラオケ館" }) << utf8 << true << false << false;
        // Half-width ﾒ and a kanji in code page 932 are also well-formed UTF-8.
        QTest::newRow("code page 932 that is also UTF-8")
            << QByteArray("\xD2\x8A\x43\r\n") << QStringList({ QStringLiteral("\u048AC") }) << utf8 << false << false
            << true;
        QTest::newRow("UTF-16 LE") << QByteArray::fromHex("fffe f266 0d00 0a00 4c6b") << QStringList({ "曲", "歌" })
                                   << textfile::Encoding::Utf16 << true << false << false;
        QTest::newRow("UTF-16 BE") << QByteArray::fromHex("feff 66f2 000d 000a 6b4c 000a")
                                   << QStringList({ "曲", "歌" }) << textfile::Encoding::Utf16 << true << false << true;
        // Never held as a code page 932 byte, which would write the byte 0xD8.
        QTest::newRow("UTF-16 lone surrogate")
            << QByteArray::fromHex("fffe d8dc") << QStringList({ QString(QChar::ReplacementCharacter) })
            << textfile::Encoding::Utf16 << true << true << false;
        QTest::newRow("damaged code page 932 holds its bytes")
            << QByteArray("A\x80"
                          "B\x82\r\nC\x81")
            << QStringList({ QStringLiteral("A") + QChar(0xDC80) + QStringLiteral("B") + QChar(0xDC82),
                   QStringLiteral("C") + QChar(0xDC81) })
            << cp932 << true << true << false;
    }

    void dataFilesDecodeInTheirEncodingAndSplitAtEveryLineEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(textfile::Encoding, encoding);
        QFETCH(bool, certain);
        QFETCH(bool, damaged);
        QFETCH(bool, ended);
        textfile::Encoding found = textfile::Encoding::Cp932;
        const QString text = textfile::decodeDataFile(bytes, nullptr, &found);
        QCOMPARE(found, encoding);
        QCOMPARE(textfile::encodingOf(bytes), (textfile::EncodingGuess { encoding, certain }));
        // The readers split the decoded text; its last line end, or the lack of one, stays in it.
        QCOMPARE(text.isEmpty() || text.endsWith(u'\n') || text.endsWith(u'\r'), ended);
        const textfile::DecodedLines decoded = textfile::splitLines(bytes);
        QCOMPARE(decoded.lines, lines);
        QCOMPARE(decoded.damaged, damaged);
    }

    void recordFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("song record") << QStringLiteral("\"曲,名\",\"よみ\",\"\",\"ポップ\",\"◎\",\"○\",-3")
                                     << QStringList({ "曲,名", "よみ", "", "ポップ", "◎", "○", "-3" });
        QTest::newRow("leading blanks skipped") << QStringLiteral("  \"a\",  b") << QStringList({ "a", "b" });
        QTest::newRow("text after closing quote skipped")
            << QStringLiteral("\"a\"xyz,\"b\"") << QStringList({ "a", "b" });
        QTest::newRow("unclosed quote runs to the end") << QStringLiteral("\"a,b") << QStringList({ "a,b" });
        QTest::newRow("trailing comma gives an empty field") << QStringLiteral("a,") << QStringList({ "a", "" });
        QTest::newRow("empty line has no fields") << QString() << QStringList();
    }

    void recordFields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(textfile::parseRecordFields(line), fields);
    }

    /// The same under every locale the program may be started in: the application takes the
    /// user's, where the decimal point may be a comma.
    void numbersRoundHalfToEvenAndClamp_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C.UTF-8");
        QTest::newRow("comma decimal point") << QByteArray("de_DE.UTF-8");
    }

    void numbersRoundHalfToEvenAndClamp()
    {
        QFETCH(QByteArray, locale);
        if (!std::setlocale(LC_NUMERIC, locale.constData()))
            QSKIP(qPrintable("the locale " + locale + " is not installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)"));
        const auto restore = qScopeGuard([] { std::setlocale(LC_NUMERIC, "C.UTF-8"); });
        QCOMPARE(textfile::parseInt16Field(QStringLiteral("1e999")), qint16(32767));
        QCOMPARE(textfile::parseInt16Field(QStringLiteral("0.0001e-999")), qint16(0));
        QCOMPARE(textfile::leadingNumber(QStringLiteral(" 200.5abc")), std::optional<double>(200.5));
        QCOMPARE(textfile::leadingNumber(QStringLiteral("-.5")), std::optional<double>(-0.5));
        QCOMPARE(textfile::leadingNumber(QStringLiteral("1e3")), std::optional<double>(1000));
        QCOMPARE(textfile::leadingNumber(QStringLiteral("2e")), std::optional<double>(2));
        QVERIFY(!textfile::leadingNumber(QStringLiteral("abc")));
        QVERIFY(!textfile::leadingNumber(QStringLiteral("-")));
        QVERIFY(!textfile::leadingNumber(QStringLiteral("１２")));
        QCOMPARE(textfile::decimalNumber(QStringLiteral(" 2.5 ")), std::optional<double>(2.5));
        QCOMPARE(textfile::decimalNumber(QStringLiteral("-.5")), std::optional<double>(-0.5));
        QVERIFY(!textfile::decimalNumber(QStringLiteral("2時間")));
        QVERIFY(!textfile::decimalNumber(QStringLiteral("1e3")));
        QVERIFY(!textfile::decimalNumber(QStringLiteral("")));
        QVERIFY(!textfile::decimalNumber(QStringLiteral("．５")));
        QCOMPARE(textfile::firstUnstorable(QStringLiteral("a\nb")), QStringLiteral("\n"));
        QCOMPARE(textfile::roundHalfEven(2.5), 2);
        QCOMPARE(textfile::roundHalfEven(3.5), 4);
        QCOMPARE(textfile::roundHalfEven(-2.5), -2);
        QCOMPARE(textfile::roundHalfEven(1e300), qint64(9.0e18));
        QCOMPARE(textfile::parseInt16Field(QStringLiteral("40000")), qint16(32767));
        QCOMPARE(textfile::parseInt16Field(QStringLiteral("-40000")), qint16(-32768));
        QCOMPARE(textfile::parseInt16Field(QStringLiteral("x")), qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
