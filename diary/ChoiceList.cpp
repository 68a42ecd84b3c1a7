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
    return textfile::appendLines(folder, fileName, { name });
}

} // namespace choicelist
