#pragma once

#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QStringList>

/// A list file of one name per line: places "場所.txt", members "メンバー.txt", genres "ジャンル.txt".
/// Each whole line is one choice, nothing trimmed; the program only reads these files whole or
/// appends one line.
namespace choicelist {

inline const QString PlaceFile = QStringLiteral("場所.txt");
inline const QString MemberFile = QStringLiteral("メンバー.txt");
inline const QString GenreFile = QStringLiteral("ジャンル.txt");

/// The lines of the file; a missing file is an empty list.
QStringList read(const QDir &folder, const QString &fileName);

/// The choices held by the file's text.
QStringList parse(const textfile::DecodedText &decoded);

/// Appends name as one line, ending an unterminated last line first.
textfile::Failure append(const QDir &folder, const QString &fileName, const QString &name);

/// The first choice that name reads as once stored (look-alikes of code page 932 characters count
/// as those characters); -1 when there is none.
int listedChoice(const QString &name, const QStringList &choices);

/// What Enter or a click in the member box does with a name.
struct MemberPick
{
    enum Action
    {
        Nothing, ///< empty name
        TakeListed, ///< the name is choice `choice`: it joins the outing, the list file is left alone
        AskToAdd, ///< a new name: asked about, then written to the list file, from which it can be picked
        RefuseSeparator, ///< the diary ends its member section at this line
        RefuseFull ///< the outing already has the most members a diary entry holds
    };
    Action action = Nothing;
    int choice = -1;
};

/// The pick of name, given the member choices and how many members the outing already has.
MemberPick memberPick(const QString &name, const QStringList &choices, int memberCount);

} // namespace choicelist
