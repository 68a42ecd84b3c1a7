#include "diary/ChoiceList.h"

#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

namespace choicelist {

QStringList read(const QDir &folder, const QString &fileName)
{
    // A list that cannot be read offers no choices; the program works on without them.
    const textfile::ReadResult file = textfile::readDataFile(folder, fileName);
    if (!file.ok())
        return {};
    return parse(file.bytes);
}

QStringList parse(const QByteArray &bytes)
{
    return textfile::splitLines(bytes).lines;
}

SaveResult append(const QDir &folder, const QString &fileName, const QString &name)
{
    // A line break would add two choices where the user typed one.
    for (const QChar unit : name) {
        if (unit == u'\r' || unit == u'\n')
            return SaveResult::unencodable(QString(unit));
    }
    return textfile::appendLines(folder, fileName, { name });
}

} // namespace choicelist
