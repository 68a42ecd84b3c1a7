#include "windows/EncodingQuestion.h"

#include "textfile/DataFile.h"
#include "textfile/TextLines.h"
#include "toolkit/KeptSettings.h"
#include "toolkit/MessageBoxes.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

using textfile::Encoding;

/// The choices in the order of the buttons.
const QList<Encoding> Choices { Encoding::Utf8, Encoding::Cp932 };

/// The first line of the bytes that reads differently as UTF-8 and as code page 932, both ways.
std::pair<QString, QString> firstDifferingLine(const QByteArray &bytes)
{
    const QString utf8 = textfile::decodeAs(bytes, Encoding::Utf8);
    const QString cp932 = textfile::decodeAs(bytes, Encoding::Cp932);
    // The line ends are ASCII, the same both ways.
    const QList<QStringView> utf8Lines = textfile::lineViews(utf8);
    const QList<QStringView> cp932Lines = textfile::lineViews(cp932);
    for (qsizetype i = 0; i < std::min(utf8Lines.size(), cp932Lines.size()); ++i) {
        if (utf8Lines.at(i) != cp932Lines.at(i))
            return { utf8Lines.at(i).toString(), cp932Lines.at(i).toString() };
    }
    return { utf8, cp932 };
}

Encoding ask(QWidget *parent, const QString &name, const textfile::GuessedFile &file)
{
    const auto [utf8, cp932] = firstDifferingLine(file.bytes);
    const int guess = int(Choices.indexOf(file.guess));
    const int chosen = messages::choose(parent,
        name + QStringLiteral(" の文字コードが UTF-8 かシフトJISか、はっきりしません。\n\nUTF-8 として読むと：\n")
            + utf8 + QStringLiteral("\n\nシフトJIS として読むと：\n") + cp932
            + QStringLiteral("\n\nどちらで読み込みますか？"),
        QStringLiteral("文字コードの確認"), { QStringLiteral("UTF-8"), QStringLiteral("シフトJIS") }, guess, guess);
    return Choices.value(chosen, file.guess);
}

} // namespace

QStringList askGuessedEncodings(QWidget *parent, const QStringList &fileNames)
{
    // Kept by content: the same file edited is another question.
    const std::unique_ptr<QSettings> kept = keptSettings();
    QStringList changed;
    for (const textfile::GuessedFile &file : textfile::guessedEncodingFiles()) {
        const QString name = QFileInfo(file.path).fileName();
        if (std::none_of(fileNames.cbegin(), fileNames.cend(),
                [&name](const QString &fileName) { return textfile::sameDataFileName(name, fileName); }))
            continue;
        const QString key = QStringLiteral("encodings/") + textfile::contentDigest(file.bytes);
        const textfile::EncodingGuess now = textfile::encodingOf(file.bytes);
        Encoding encoding = now.encoding;
        // Certain by now when another file with the same bytes was just answered.
        if (!now.certain && kept->contains(key)) {
            encoding = kept->value(key).toString() == QStringLiteral("UTF-8") ? Encoding::Utf8 : Encoding::Cp932;
        } else if (!now.certain) {
            encoding = ask(parent, name, file);
            kept->setValue(key, encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS"));
        }
        textfile::settleFileEncoding(file, encoding);
        if (encoding != file.guess)
            changed.append(name);
    }
    return changed;
}
