// Writes a small diary's data files into <work>/data, exports them as CSV into <work>/csv and backs
// them up into <work>/zip, and prints what the export and the backup reported as JSON. The files
// written are read by check_export.py with Python's own csv and zipfile modules. There is no
// QCoreApplication, so the locale stays "C", where the archive's names must still be UTF-8.

#include "exchange/BackupArchive.h"
#include "exchange/CsvExport.h"
#include "lists/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", why.toUtf8().constData());
    std::exit(1);
}

/// Writes bytes as the file and gives it a modification time of its own, with an odd second that
/// the zip's two-second DOS time cannot hold.
void writeFile(const QDir &folder, const QString &name, const QByteArray &bytes, int day)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write ") + name);
    file.close();
    const QDateTime time(QDate(2026, 11, day), QTime(21, 30, 1));
    const struct timespec times[2] = { { time.toSecsSinceEpoch(), 0 }, { time.toSecsSinceEpoch(), 0 } };
    if (::utimensat(AT_FDCWD, QFile::encodeName(file.fileName()).constData(), times, 0) != 0)
        fail(QStringLiteral("cannot set the time of ") + name);
}

QByteArray cp932Lines(const QStringList &lines)
{
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(lines), &bytes))
        fail(QStringLiteral("not code page 932: ") + lines.join(u'|'));
    return bytes;
}

DiaryEntry outing(const QString &date, const QString &duration, const QString &place, const QStringList &members,
    const QList<std::pair<QString, QString>> &songs)
{
    DiaryEntry entry { date, duration, place, members, {}, {} };
    for (const auto &[title, artist] : songs) {
        entry.songTitles.append(title);
        entry.songArtists.append(artist);
    }
    return entry;
}

/// The data files, as the program would have written them: quotes, commas and blanks at either
/// end where each file can hold them, an outing without songs, an empty file, no genre file, and
/// the diary under a name whose case differs from the program's.
void writeDataFolder(const QDir &data)
{
    const QVector<DiaryEntry> outings {
        outing(QStringLiteral("2026年12月05日"), QStringLiteral("2.5"), QStringLiteral("カラオケ館, 新宿店"),
            { QStringLiteral(" 佐藤"), QStringLiteral("鈴木 ") },
            { { QStringLiteral("Lemon"), QStringLiteral("米津玄師") },
                { QStringLiteral("He said \"Hi\""), QStringLiteral("Earth, Wind & Fire") },
                { QStringLiteral("夜に駆ける"), QStringLiteral("YOASOBI") } }),
        outing(QStringLiteral("2026年12月06日"), QStringLiteral("1"), QStringLiteral("駅前"),
            { QStringLiteral("田中") }, {}),
        outing(QStringLiteral("2026年12月07日"), QStringLiteral("　3"), QString(), {},
            { { QStringLiteral("終わりに空白 "), QStringLiteral("\t前にタブ") },
                { QStringLiteral("\"引用\"だけ"), QString() } }),
    };
    QStringList diaryLines;
    for (const DiaryEntry &entry : outings)
        diaryLines += DiaryBook::entryLines(entry);
    const QByteArray diary = cp932Lines(diaryLines);
    if (DiaryBook::parse(diary).entries() != outings)
        fail(QStringLiteral("the diary must read back as written"));

    const QVector<SongRecord> songs {
        { QStringLiteral("Hello, World"), QStringLiteral(" はろー"), QStringLiteral("Earth, Wind & Fire"),
            QStringLiteral("洋楽"), QStringLiteral("◎"), QStringLiteral("○"), 12 },
        { QStringLiteral("夜に駆ける"), QStringLiteral("よるにかける"), QStringLiteral("YOASOBI"),
            QStringLiteral("J-POP"), QStringLiteral("－"), QStringLiteral("×"), 0 },
        { QStringLiteral("空欄だらけ"), {}, {}, {}, {}, {}, 32767 },
    };
    QStringList songLines;
    for (const SongRecord &song : songs)
        songLines.append(SongCatalogue::recordLine(song));
    const QByteArray songBytes = cp932Lines(songLines);
    if (SongCatalogue::parse(songBytes) != songs)
        fail(QStringLiteral("the songs must read back as written"));

    const QVector<ArtistRecord> artists {
        { QStringLiteral("Earth, Wind & Fire"), QStringLiteral("あーす うぃんど") },
        { QStringLiteral("米津玄師"), QStringLiteral("よねづけんし") },
        { QStringLiteral(" 前に空白"), QStringLiteral("まえにくうはく") },
    };
    QStringList artistLines;
    for (const ArtistRecord &artist : artists)
        artistLines.append(ArtistCatalogue::recordLine(artist));
    const QByteArray artistBytes = cp932Lines(artistLines);
    if (ArtistCatalogue::parse(artistBytes) != artists)
        fail(QStringLiteral("the artists must read back as written"));

    writeFile(data, QStringLiteral("カラオケ.txt"), diary, 1);
    writeFile(data, SongCatalogue::FileName, songBytes, 2);
    writeFile(data, ArtistCatalogue::FileName, artistBytes, 3);
    writeFile(data, choicelist::PlaceFile, {}, 4);
    writeFile(data, choicelist::MemberFile, cp932Lines({ QStringLiteral("佐藤"), QStringLiteral("鈴木") }), 5);
    writeFile(data, PersonalData::FileName, cp932Lines({ QStringLiteral("歌好き"), QStringLiteral("100") }), 6);
    // Not data files: a backup never holds these.
    writeFile(data, QStringLiteral("カラオケ.txt.bak"), diary, 7);
    writeFile(data, QStringLiteral("メモ.txt"), cp932Lines({ QStringLiteral("覚え書き") }), 8);
    if (!data.mkpath(QStringLiteral("backup")))
        fail(QStringLiteral("cannot make backup/"));
    writeFile(data, QStringLiteral("backup/カラオケ.TXT.20261201-120000"), diary, 9);
}

ReadTables load(const QDir &data)
{
    ReadTables read = TablesReading(data).finish();
    for (const textfile::Failure &loaded : { read.results.diary, read.results.songs, read.results.artists }) {
        if (!loaded.ok())
            fail(QStringLiteral("cannot read ") + loaded.file);
    }
    return read;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        fail(QStringLiteral("usage: export_sample <work folder>"));
    const QDir work(QFile::decodeName(argv[1]));
    for (const QString &folder : { QStringLiteral("data"), QStringLiteral("csv"), QStringLiteral("zip") }) {
        if (!work.mkpath(folder))
            fail(QStringLiteral("cannot make ") + folder);
    }
    const QDir data(work.filePath(QStringLiteral("data")));
    const QDir csv(work.filePath(QStringLiteral("csv")));
    writeDataFolder(data);
    const SharedTables tables(load(data));

    if (!existingCsvFiles(csv).isEmpty())
        fail(QStringLiteral("no CSV file exists yet"));
    // Twice: the second export replaces the files of the first.
    QList<CsvFileWritten> exported;
    for (int round = 0; round < 2; ++round) {
        exported.clear();
        if (const textfile::Failure failed = writeCsvFiles(tables, csv, &exported); !failed.ok())
            fail(QStringLiteral("export failed: ") + failed.file + u' ' + QString::number(failed.error));
    }
    if (existingCsvFiles(csv) != csvFileNames())
        fail(QStringLiteral("every CSV file exists now"));

    const QString zipPath
        = work.filePath(QStringLiteral("zip/") + suggestedBackupName(QDateTime(QDate(2026, 12, 7), QTime(15, 30, 0))));
    QStringList stored;
    if (const textfile::Failure failed = writeBackupArchive(data, zipPath, &stored); !failed.ok())
        fail(QStringLiteral("backup failed: ") + failed.file + u' ' + QString::number(failed.error));

    QJsonArray written;
    for (const CsvFileWritten &file : std::as_const(exported))
        written.append(QJsonArray { file.name, file.rows });
    const QJsonObject report { { QStringLiteral("csv"), written },
        { QStringLiteral("backup"), QJsonArray::fromStringList(stored) } };
    std::fputs(QJsonDocument(report).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
