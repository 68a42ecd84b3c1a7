// Counts a process's fsync and fdatasync calls, for LD_PRELOAD. A program that looks up
// crooner_sync_counts reads the counts itself, around the part it times; with
// CROONER_SYNC_COUNT_REPORT set, the totals go to standard error when the process ends.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

std::atomic<long> fsyncCalls { 0 };
std::atomic<long> fdatasyncCalls { 0 };

using SyncCall = int (*)(int);

/// The C library's own function of that name.
SyncCall next(const char *name)
{
    void *symbol = dlsym(RTLD_NEXT, name);
    SyncCall call = nullptr;
    std::memcpy(&call, &symbol, sizeof call);
    return call;
}

__attribute__((destructor)) void reportTotals()
{
    if (std::getenv("CROONER_SYNC_COUNT_REPORT"))
        std::fprintf(stderr, "fsync %ld fdatasync %ld\n", fsyncCalls.load(), fdatasyncCalls.load());
}

} // namespace

extern "C" {

int fsync(int fd)
{
    static const SyncCall real = next("fsync");
    ++fsyncCalls;
    return real(fd);
}

int fdatasync(int fd)
{
    static const SyncCall real = next("fdatasync");
    ++fdatasyncCalls;
    return real(fd);
}

__attribute__((visibility("default"))) void crooner_sync_counts(long *fsyncs, long *fdatasyncs)
{
    *fsyncs = fsyncCalls.load();
    *fdatasyncs = fdatasyncCalls.load();
}
}
