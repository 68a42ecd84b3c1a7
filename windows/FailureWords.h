#pragma once

#include "textfile/DataFile.h"
#include "textfile/Failure.h"
#include "textfile/FileReplace.h"

#include <QString>
#include <QStringList>

class QWidget;

/// Every failure the user is told of, in the user's words: the one place that words them.
namespace failurewords {

/// What a message box says of a failure.
struct Words
{
    QString text;
    QString title;
};

/// The words of a system error number; writing, whether it came from writing (for a refused
/// permission).
QString systemReason(int error, bool writing);
/// The words of a failure that is not ok(), shown as a refusal (warning icon, OK).
Words wordsFor(const textfile::Failure &failure);
/// Shows the failure, when it is not ok(). A file another program changed loses what was typed
/// with the restart it asks for: typed, when given, may then be copied to the clipboard first.
void report(QWidget *parent, const textfile::Failure &failure, const QString &typed = {});
/// Shows why an outing cannot be removed (DiaryBook::checkRemoval), when it cannot.
void refuseRemoval(QWidget *parent, const textfile::Failure &failure);
/// Why a run saves nothing (ReadOnlyUnlockable or ReadOnlyLockNotAFile), for the notice at start.
QString readOnlyReason(const textfile::Failure &why);
/// At start: another running program holds the data folder at place.
void refuseHeldFolder(const QString &place);
/// At start: the folder at place could not be locked, as why says, so the run saves nothing.
void reportReadOnly(const textfile::Failure &why, const QString &place);
/// At start, once: what became of a save that the last run did not end; nothing when there was none.
void reportInterruptedSave(const textfile::InterruptedSave &save);

/// Refuses the first character of texts that a data file cannot hold (a line break, or one code
/// page 932 lacks) as Unencodable; true when something was refused.
bool refuseUnstorable(QWidget *parent, const QStringList &texts);
/// One notice (OK, information icon, title "文字コードの変換") naming each file with its encoding
/// and saying that its next save converts it to code page 932, its original kept in the backup
/// folder. Shows nothing for an empty list.
void reportForeignEncodings(QWidget *parent, const QList<textfile::ForeignFile> &files);
/// One notice (OK, information icon, title "読めない文字") naming each file that holds bytes code
/// page 932 lacks and saying that saves keep them as they are. Shows nothing for an empty list.
void reportUndecodableBytes(QWidget *parent, const QStringList &files);

} // namespace failurewords
