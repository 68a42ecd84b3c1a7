// The list-file reader never crashes. Lines it reads cleanly, written back, read the same; a damaged
// file keeps its number of lines. Lines read as code page 932 can always be written back; lines
// read from UTF-8 or UTF-16 only when code page 932 has all their characters, and they read back
// as code page 932 keeps them: look-alike characters in its forms, and nothing of the few
// characters beyond U+FFFF that the converter writes nothing for.
#include "fuzz/KeptText.h"
#include "lists/ChoiceList.h"
#include "textfile/Cp932.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList choices = choicelist::parse(bytes);
    bool damaged = false;
    textfile::Encoding encoding = textfile::Encoding::Cp932;
    textfile::decodeDataFile(bytes, &damaged, &encoding);
    QByteArray written;
    if (!cp932::encode(textfile::joinLines(choices), &written)) {
        if (encoding == textfile::Encoding::Cp932)
            std::abort();
        return 0;
    }
    // As a save does: what the program wrote reads back as code page 932, though also UTF-8.
    textfile::settleEncoding(written, textfile::Encoding::Cp932);
    // Lines read from UTF-8 or UTF-16 read back as code page 932 keeps them (U+2016 as U+2225,
    // U+E002A as nothing).
    QStringList expected = choices;
    if (encoding != textfile::Encoding::Cp932) {
        for (QString &choice : expected)
            choice = keptText(choice);
    }
    const QStringList again = choicelist::parse(written);
    if (again.size() != choices.size() || (!damaged && again != expected))
        std::abort();
    return 0;
}
