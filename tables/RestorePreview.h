#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

/// What putting an earlier version of a data file back would change, against the file as it is
/// now: for the diary, which outings (by date) come back, go and change; for the song catalogue,
/// which songs' sing counts change; for any file, whether it changes at all.
struct RestorePreview
{
    bool differs = false;
    int outingsNow = -1; ///< for the diary; -1 for other files
    int outingsThen = -1;
    QStringList added; ///< dates of outings the earlier version holds and the file does not
    QStringList removed;
    QStringList changed;
    struct CountChange
    {
        QString title;
        QString artist;
        int now = 0; ///< 0 for a song only one version holds
        int then = 0;
    };
    QList<CountChange> counts;
};

RestorePreview previewRestore(const QDir &folder, const QString &name, const QByteArray &bytes);

/// How many outings the diary bytes hold.
int outingsIn(const QByteArray &diaryBytes);
