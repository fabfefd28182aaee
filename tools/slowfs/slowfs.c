// A slow file system for the tests: serves a folder at a set rate, like a USB stick or a
// network share, and holds every read and write while the file "slowfs.hold" exists in it, like
// a stalled share. Usage: slowfs <folder> <mount point> <bytes per second, 0 = unlimited>
// Runs in the foreground until unmounted or stopped. Only what the tests do is passed on:
// reading and listing, creating, writing, cutting, flushing and deleting files. While the file
// "slowfs.holdattr" exists, looking up the attributes of the file it names (a bare name in the
// served folder) is held too, like a share that stops answering before the open: the one call
// the tests may hold without stalling Wine, which looks a path up on the calling thread.
// While the file "slowfs.failat" exists, a read that covers the offset written in it fails
// with EIO, like a bad sector. While the file "slowfs.count" exists, every read that ends adds
// its bytes to the number in it (none: 0), so a test can see what is read after a point.
#define FUSE_USE_VERSION 31
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <dirent.h>

static char g_root[PATH_MAX];
static char g_hold[PATH_MAX + 16];
static char g_holdAttr[PATH_MAX + 16];
static char g_failAt[PATH_MAX + 16];
static char g_count[PATH_MAX + 16];
static double g_rate;
static double g_busyUntil; // when the medium has served everything asked of it so far
static pthread_mutex_t g_clock = PTHREAD_MUTEX_INITIALIZER;

static void Real(char* out, const char* path) { snprintf(out, PATH_MAX, "%s%s", g_root, path); }

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Waits while the hold file exists, then for the medium to have moved `bytes` at the rate.
// Concurrent requests queue behind each other, as on one slow device.
static void Throttle(size_t bytes) {
    while (access(g_hold, F_OK) == 0)
        usleep(5000);
    if (g_rate <= 0)
        return;
    pthread_mutex_lock(&g_clock);
    double start = Now() > g_busyUntil ? Now() : g_busyUntil;
    g_busyUntil = start + bytes / g_rate;
    double wait = g_busyUntil - Now();
    pthread_mutex_unlock(&g_clock);
    if (wait > 0)
        usleep((useconds_t)(wait * 1e6));
}

#define REAL(path) char real[PATH_MAX]; Real(real, path)
#define CHECK(call) return (call) == -1 ? -errno : 0

static void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
    (void)conn;
    cfg->direct_io = 1; // every read and write reaches us, none is served from the cache
    cfg->attr_timeout = cfg->entry_timeout = cfg->negative_timeout = 0;
    cfg->use_ino = 1;
    return NULL;
}
// Whether the lookup hold names `path` ("/name").
static int LookupHeld(const char* path) {
    char name[NAME_MAX + 1] = "";
    FILE* control = fopen(g_holdAttr, "r");
    if (!control) return 0;
    int named = fgets(name, sizeof(name), control) != NULL;
    fclose(control);
    name[strcspn(name, "\r\n")] = '\0';
    return named && name[0] && strcmp(path + 1, name) == 0;
}
static int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    while (LookupHeld(path))
        usleep(5000);
    if (fi) CHECK(fstat((int)fi->fh, st));
    REAL(path); CHECK(lstat(real, st));
}
static int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t off,
                   struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)off; (void)fi; (void)flags;
    REAL(path);
    DIR* dir = opendir(real);
    if (!dir) return -errno;
    for (struct dirent* e; (e = readdir(dir));) fill(buf, e->d_name, NULL, 0, 0);
    closedir(dir);
    return 0;
}
static int Open(const char* path, struct fuse_file_info* fi) {
    REAL(path);
    int fd = open(real, fi->flags);
    if (fd == -1) return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}
static int Create(const char* path, mode_t mode, struct fuse_file_info* fi) {
    REAL(path);
    int fd = open(real, fi->flags, mode);
    if (fd == -1) return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}
// Whether a read of `size` bytes at `off` covers the offset written in the fail file.
static int ReadFails(size_t size, off_t off) {
    long long at = -1;
    FILE* control = fopen(g_failAt, "r");
    if (control && fscanf(control, "%lld", &at) != 1) at = -1;
    if (control) fclose(control);
    return at >= (long long)off && at < (long long)off + (long long)size;
}
// Adds `bytes` to the number in the count file, while it exists.
static void Count(ssize_t bytes) {
    pthread_mutex_lock(&g_clock);
    FILE* control = bytes > 0 ? fopen(g_count, "r+") : NULL;
    long long total = 0;
    if (control && fscanf(control, "%lld", &total) != 1) total = 0;
    if (control) {
        rewind(control);
        fprintf(control, "%lld\n", total + (long long)bytes);
        fclose(control);
    }
    pthread_mutex_unlock(&g_clock);
}
static int Read(const char* path, char* buf, size_t size, off_t off, struct fuse_file_info* fi) {
    (void)path;
    Throttle(size);
    if (ReadFails(size, off)) return -EIO;
    ssize_t got = pread((int)fi->fh, buf, size, off);
    Count(got);
    return got == -1 ? -errno : (int)got;
}
static int Write(const char* path, const char* buf, size_t size, off_t off,
                 struct fuse_file_info* fi) {
    (void)path;
    Throttle(size);
    ssize_t put = pwrite((int)fi->fh, buf, size, off);
    return put == -1 ? -errno : (int)put;
}
static int Truncate(const char* path, off_t size, struct fuse_file_info* fi) {
    if (fi) CHECK(ftruncate((int)fi->fh, size));
    REAL(path); CHECK(truncate(real, size));
}
static int Release(const char* path, struct fuse_file_info* fi) {
    (void)path; close((int)fi->fh); return 0;
}
static int Fsync(const char* path, int data, struct fuse_file_info* fi) {
    (void)path; CHECK(data ? fdatasync((int)fi->fh) : fsync((int)fi->fh));
}
static int Unlink(const char* path) { REAL(path); CHECK(unlink(real)); }

static const struct fuse_operations kOperations = {
    .init = Init, .getattr = GetAttr, .readdir = ReadDir, .open = Open, .create = Create,
    .read = Read, .write = Write, .truncate = Truncate, .release = Release, .fsync = Fsync,
    .unlink = Unlink,
};

int main(int argc, char* argv[]) {
    if (argc != 4 || !realpath(argv[1], g_root)) {
        fprintf(stderr, "usage: slowfs <folder> <mount point> <bytes per second>\n");
        return 2;
    }
    g_rate = atof(argv[3]);
    snprintf(g_hold, sizeof(g_hold), "%s/slowfs.hold", g_root);
    snprintf(g_holdAttr, sizeof(g_holdAttr), "%s/slowfs.holdattr", g_root);
    snprintf(g_failAt, sizeof(g_failAt), "%s/slowfs.failat", g_root);
    snprintf(g_count, sizeof(g_count), "%s/slowfs.count", g_root);
    char* fuseArgs[] = {argv[0], "-f", "-o", "default_permissions", argv[2], NULL};
    return fuse_main(5, fuseArgs, &kOperations, NULL);
}
