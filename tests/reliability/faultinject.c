/* Preloaded into a test (LD_PRELOAD), makes the nth write(2), fdatasync(2), fsync(2), rename(2) or
 * link(2) (link or linkat, as QSaveFile names its unnamed temporary file)
 * touching one folder fail with a chosen errno, as a full or failing disk does; every other call
 * goes to the real function. The test steers it through the faultinject_* functions, which it finds
 * with dlsym, so that it can skip when the library is not preloaded. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdatomic.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

enum Call
{
    None,
    Write,
    Fdatasync,
    Fsync,
    Rename,
    Link
};

static const char *const CallNames[] = { "", "write", "fdatasync", "fsync", "rename", "link" };

/* The folder is written only while disarmed, and read only after armedCall was seen armed. */
static char armedFolder[PATH_MAX];
static size_t armedLength;
static atomic_int armedCall;
static atomic_long failingCall;
static atomic_int failureErrno;
static atomic_long counted;
static atomic_int triggered;

/* dlsym(RTLD_NEXT, name), kept in cache after the first call. */
static void *real(_Atomic(void *) *cache, const char *name)
{
    void *function = atomic_load_explicit(cache, memory_order_acquire);
    if (!function) {
        function = dlsym(RTLD_NEXT, name);
        atomic_store_explicit(cache, function, memory_order_release);
    }
    return function;
}

/* Declares next: the function that the name would reach without this library. */
#define DECLARE_NEXT(function)                                                                                         \
    static _Atomic(void *) cache;                                                                                      \
    __typeof__(&function) next;                                                                                        \
    void *found = real(&cache, #function);                                                                             \
    memcpy(&next, &found, sizeof next)

/* The folder itself, or anything inside it. */
static int inFolder(const char *path)
{
    return path && strncmp(path, armedFolder, armedLength) == 0
        && (path[armedLength] == '\0' || path[armedLength] == '/');
}

/* Counts a call of the armed kind touching the folder; true, with errno set, when it is the one to
 * fail (every one for nth 0). An errno of -1 kills the process there instead, as a crash does. */
static int fails(const char *path, const char *otherPath)
{
    if (!inFolder(path) && !inFolder(otherPath))
        return 0;
    const long nth = atomic_load(&failingCall);
    if (atomic_fetch_add(&counted, 1) + 1 != nth && nth != 0)
        return 0;
    atomic_store(&triggered, 1);
    if (atomic_load(&failureErrno) == -1)
        raise(SIGKILL);
    errno = atomic_load(&failureErrno);
    return 1;
}

static int isArmed(enum Call call)
{
    return atomic_load_explicit(&armedCall, memory_order_acquire) == (int)call;
}

/* For a descriptor, the path its /proc/self/fd link names: "<folder>/#123 (deleted)" for an unnamed
 * temporary file, the folder itself for a folder opened to be synced. */
static int failsOnDescriptor(enum Call call, int fd)
{
    if (!isArmed(call))
        return 0;
    const int savedErrno = errno;
    char link[64];
    char target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    errno = savedErrno;
    if (length < 0)
        return 0;
    target[length] = '\0';
    return fails(target, NULL);
}

ssize_t write(int fd, const void *buffer, size_t size)
{
    DECLARE_NEXT(write);
    return failsOnDescriptor(Write, fd) ? -1 : next(fd, buffer, size);
}

int fdatasync(int fd)
{
    DECLARE_NEXT(fdatasync);
    return failsOnDescriptor(Fdatasync, fd) ? -1 : next(fd);
}

int fsync(int fd)
{
    DECLARE_NEXT(fsync);
    return failsOnDescriptor(Fsync, fd) ? -1 : next(fd);
}

int rename(const char *from, const char *to)
{
    DECLARE_NEXT(rename);
    return isArmed(Rename) && fails(from, to) ? -1 : next(from, to);
}

int link(const char *from, const char *to)
{
    DECLARE_NEXT(link);
    return isArmed(Link) && fails(from, to) ? -1 : next(from, to);
}

int linkat(int fromFd, const char *from, int toFd, const char *to, int flags)
{
    DECLARE_NEXT(linkat);
    return isArmed(Link) && fails(from, to) ? -1 : next(fromFd, from, toFd, to, flags);
}

void faultinject_disarm(void)
{
    atomic_store_explicit(&armedCall, None, memory_order_release);
}

/* Makes the nth call (counting from 1; 0 for every call) of the named function that touches folder,
 * an absolute path as the program names it, fail with error, or with -1 kill the process. Returns 0, or -1 for an unknown name or a folder too long. */
int faultinject_arm(const char *call, long nth, int error, const char *folder)
{
    faultinject_disarm();
    const size_t length = strlen(folder);
    if (length >= sizeof armedFolder)
        return -1;
    for (int armed = Write; armed <= Link; ++armed) {
        if (strcmp(call, CallNames[armed]) == 0) {
            memcpy(armedFolder, folder, length + 1);
            armedLength = length;
            atomic_store(&failingCall, nth);
            atomic_store(&failureErrno, error);
            atomic_store(&counted, 0);
            atomic_store(&triggered, 0);
            atomic_store_explicit(&armedCall, armed, memory_order_release);
            return 0;
        }
    }
    return -1;
}

/* Whether the armed call failed since faultinject_arm. */
int faultinject_triggered(void)
{
    return atomic_load(&triggered);
}

/* How many calls of the armed kind touched the folder since faultinject_arm. */
long faultinject_calls(void)
{
    return atomic_load(&counted);
}
