// SPDX-License-Identifier: GPL-3.0-or-later
// A test fixture: a pass-through file system over a folder that takes its time, as a USB stick, a
// network home or a failing disk does. Every write waits --write-delay-ms before it is done and
// every sync (of a file or a folder) --sync-delay-ms. Everything else goes straight to the folder.
//
//   station-slowfs BACKING MOUNTPOINT [--write-delay-ms=N] [--sync-delay-ms=N]
//
// Runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT) or killed.
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

static int backing = -1; // the backing folder, opened before the mount hides nothing of it
static long writeDelayMs = 0;
static long syncDelayMs = 0;

static void Pause(long ms) {
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// Paths come as "/a/b"; the backing folder's descriptor takes them relative.
static const char* Relative(const char* path) {
    return path[1] ? path + 1 : ".";
}

static int Result(int value) {
    return value < 0 ? -errno : value;
}

static void* Init(struct fuse_conn_info* connection, struct fuse_config* config) {
    (void)connection;
    // Every call reaches this process, so every write and sync pays its delay.
    config->use_ino = 0;
    config->direct_io = 0;
    config->kernel_cache = 0;
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    return NULL;
}

static int GetAttr(const char* path, struct stat* facts, struct fuse_file_info* file) {
    if (file)
        return Result(fstat((int)file->fh, facts));
    return Result(fstatat(backing, Relative(path), facts, AT_SYMLINK_NOFOLLOW));
}

static int ReadLink(const char* path, char* target, size_t size) {
    const ssize_t length = readlinkat(backing, Relative(path), target, size - 1);
    if (length < 0)
        return -errno;
    target[length] = '\0';
    return 0;
}

static int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                   struct fuse_file_info* file, enum fuse_readdir_flags flags) {
    (void)offset;
    (void)file;
    (void)flags;
    const int fd = openat(backing, Relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -errno;
    DIR* folder = fdopendir(fd);
    if (!folder) {
        close(fd);
        return -errno;
    }
    struct dirent* entry;
    while ((entry = readdir(folder)) != NULL) {
        struct stat facts = {0};
        facts.st_ino = entry->d_ino;
        facts.st_mode = (mode_t)(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &facts, 0, 0))
            break;
    }
    closedir(folder);
    return 0;
}

static int MakeFolder(const char* path, mode_t mode) {
    return Result(mkdirat(backing, Relative(path), mode));
}

static int Unlink(const char* path) {
    return Result(unlinkat(backing, Relative(path), 0));
}

static int RemoveFolder(const char* path) {
    return Result(unlinkat(backing, Relative(path), AT_REMOVEDIR));
}

static int SymLink(const char* target, const char* path) {
    return Result(symlinkat(target, backing, Relative(path)));
}

static int Rename(const char* from, const char* to, unsigned int flags) {
    return Result(renameat2(backing, Relative(from), backing, Relative(to), flags));
}

static int ChangeMode(const char* path, mode_t mode, struct fuse_file_info* file) {
    if (file)
        return Result(fchmod((int)file->fh, mode));
    return Result(fchmodat(backing, Relative(path), mode, 0));
}

static int ChangeOwner(const char* path, uid_t user, gid_t group, struct fuse_file_info* file) {
    if (file)
        return Result(fchown((int)file->fh, user, group));
    return Result(fchownat(backing, Relative(path), user, group, AT_SYMLINK_NOFOLLOW));
}

static int Truncate(const char* path, off_t size, struct fuse_file_info* file) {
    if (file)
        return Result(ftruncate((int)file->fh, size));
    const int fd = openat(backing, Relative(path), O_WRONLY | O_NOFOLLOW);
    if (fd < 0)
        return -errno;
    const int result = Result(ftruncate(fd, size));
    close(fd);
    return result;
}

static int SetTimes(const char* path, const struct timespec times[2], struct fuse_file_info* file) {
    if (file)
        return Result(futimens((int)file->fh, times));
    return Result(utimensat(backing, Relative(path), times, AT_SYMLINK_NOFOLLOW));
}

static int Create(const char* path, mode_t mode, struct fuse_file_info* file) {
    const int fd = openat(backing, Relative(path), file->flags, mode);
    if (fd < 0)
        return -errno;
    file->fh = (uint64_t)fd;
    return 0;
}

static int Open(const char* path, struct fuse_file_info* file) {
    const int fd = openat(backing, Relative(path), file->flags);
    if (fd < 0)
        return -errno;
    file->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buffer, size_t size, off_t offset,
                struct fuse_file_info* file) {
    (void)path;
    return Result((int)pread((int)file->fh, buffer, size, offset));
}

static int Write(const char* path, const char* buffer, size_t size, off_t offset,
                 struct fuse_file_info* file) {
    (void)path;
    Pause(writeDelayMs);
    return Result((int)pwrite((int)file->fh, buffer, size, offset));
}

static int StatFs(const char* path, struct statvfs* facts) {
    (void)path;
    return Result(fstatvfs(backing, facts));
}

static int Release(const char* path, struct fuse_file_info* file) {
    (void)path;
    close((int)file->fh);
    return 0;
}

static int Sync(const char* path, int dataOnly, struct fuse_file_info* file) {
    (void)path;
    Pause(syncDelayMs);
    return Result(dataOnly ? fdatasync((int)file->fh) : fsync((int)file->fh));
}

static int OpenFolder(const char* path, struct fuse_file_info* file) {
    const int fd = openat(backing, Relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -errno;
    file->fh = (uint64_t)fd;
    return 0;
}

static int ReleaseFolder(const char* path, struct fuse_file_info* file) {
    return Release(path, file);
}

static int SyncFolder(const char* path, int dataOnly, struct fuse_file_info* file) {
    return Sync(path, dataOnly, file);
}

static int Lock(const char* path, struct fuse_file_info* file, int operation) {
    (void)path;
    return Result(flock((int)file->fh, operation));
}

static int Allocate(const char* path, int mode, off_t offset, off_t length,
                    struct fuse_file_info* file) {
    (void)path;
    if (mode != 0)
        return -EOPNOTSUPP;
    return -posix_fallocate((int)file->fh, offset, length);
}

static const struct fuse_operations Operations = {
    .init = Init,
    .getattr = GetAttr,
    .readlink = ReadLink,
    .readdir = ReadDir,
    .mkdir = MakeFolder,
    .unlink = Unlink,
    .rmdir = RemoveFolder,
    .symlink = SymLink,
    .rename = Rename,
    .chmod = ChangeMode,
    .chown = ChangeOwner,
    .truncate = Truncate,
    .utimens = SetTimes,
    .create = Create,
    .open = Open,
    .read = Read,
    .write = Write,
    .statfs = StatFs,
    .release = Release,
    .fsync = Sync,
    .opendir = OpenFolder,
    .releasedir = ReleaseFolder,
    .fsyncdir = SyncFolder,
    .flock = Lock,
    .fallocate = Allocate,
};

static long Option(const char* argument, const char* name) {
    const size_t length = strlen(name);
    return strncmp(argument, name, length) == 0 ? atol(argument + length) : -1;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s BACKING MOUNTPOINT [--write-delay-ms=N] [--sync-delay-ms=N]\n",
                argv[0]);
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        long value;
        if ((value = Option(argv[i], "--write-delay-ms=")) >= 0)
            writeDelayMs = value;
        else if ((value = Option(argv[i], "--sync-delay-ms=")) >= 0)
            syncDelayMs = value;
        else {
            fprintf(stderr, "%s: unknown option %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    backing = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (backing < 0) {
        perror(argv[1]);
        return 1;
    }
    // Foreground, so that the holder that started it owns the process; several threads, so that a
    // sync under way does not hold up a write to another file.
    char* fuseArguments[] = {argv[0], argv[2], "-f", "-o", "default_permissions", NULL};
    return fuse_main(5, fuseArguments, &Operations, NULL);
}
