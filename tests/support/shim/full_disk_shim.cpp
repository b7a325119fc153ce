// Preloaded into a test that wants a full disk where no small file system can
// be mounted: once armed, write() into a regular file of the folder named by
// NOCTAREL_FULL_DISK fails with ENOSPC, as it would on a full disk.
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> armed{false};
char folder[PATH_MAX];
size_t folderLength = 0;

bool inFolder(int fd)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    // A file made with O_TMPFILE reads "<folder>/#inode (deleted)".
    return size_t(n) > folderLength && std::strncmp(target, folder, folderLength) == 0 &&
           target[folderLength] == '/';
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void noctarelFillDisk()
{
    const char *named = std::getenv("NOCTAREL_FULL_DISK");
    if (!named || !::realpath(named, folder))
        std::abort();
    folderLength = std::strlen(folder);
    armed = true;
}

__attribute__((visibility("default"))) ssize_t write(int fd, const void *buffer, size_t count)
{
    using Write = ssize_t (*)(int, const void *, size_t);
    static const Write next = reinterpret_cast<Write>(::dlsym(RTLD_NEXT, "write"));
    if (armed && count > 0 && inFolder(fd)) {
        errno = ENOSPC;
        return -1;
    }
    return next(fd, buffer, count);
}
}
