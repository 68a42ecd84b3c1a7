#pragma once

#include <QStringList>

class QWidget;

/// Asks the user, for each of the named data files read in this run whose encoding is a guess,
/// whether it is UTF-8 or code page 932, showing the first line that reads differently both ways;
/// the guess is the default. An answer is kept by the file's content across runs, so the same
/// content is asked about once. Returns the names of the files now decided otherwise than they
/// were read, for the caller to read again.
QStringList askGuessedEncodings(QWidget *parent, const QStringList &fileNames);
