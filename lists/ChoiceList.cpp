#include "lists/ChoiceList.h"

#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

namespace {

/// The diary ends its member section at this line, so it can never be a member's name.
const QString SectionSeparator = QStringLiteral("----------");

} // namespace

namespace choicelist {

QStringList read(const QDir &folder, const QString &fileName)
{
    // A list that cannot be read offers no choices; the program works on without them.
    const textfile::ReadResult file = textfile::readDataFile(folder, fileName);
    if (!file.ok())
        return {};
    return parse(file.decoded);
}

QStringList parse(const textfile::DecodedText &decoded)
{
    return textfile::splitLines(decoded).lines;
}

textfile::Failure append(const QDir &folder, const QString &fileName, const QString &name)
{
    return textfile::appendLines(folder, fileName, { name });
}

int listedChoice(const QString &name, const QStringList &choices)
{
    return int(choices.indexOf(cp932::normaliseLookAlikes(name)));
}

MemberPick memberPick(const QString &name, const QStringList &choices, int memberCount)
{
    if (name.isEmpty())
        return {};
    if (name == SectionSeparator)
        return { MemberPick::RefuseSeparator };
    const int listed = listedChoice(name, choices);
    if (listed < 0)
        return { MemberPick::AskToAdd };
    if (memberCount >= DiaryBook::MaxMembers)
        return { MemberPick::RefuseFull };
    return { MemberPick::TakeListed, listed };
}

} // namespace choicelist
