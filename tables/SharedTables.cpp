#include "tables/SharedTables.h"

void SharedTables::startReading()
{
    // A QDir of its own: a QDir may cache what it found on disk, and a shared one would be changed
    // from both threads.
    m_reading = std::async(std::launch::async, [path = dataFolder.path()] {
        const QDir folder(path);
        Read read;
        read.results.diary = read.diary.load(folder);
        read.results.songs = read.songs.loadSongCatalogue(folder);
        read.results.artists = read.artists.loadArtistCatalogue(folder);
        return read;
    });
}

TableReads SharedTables::finishReading()
{
    if (!m_reading.valid())
        startReading();
    Read read = m_reading.get();
    diary = std::move(read.diary);
    songs = std::move(read.songs);
    artists = std::move(read.artists);
    return read.results;
}
