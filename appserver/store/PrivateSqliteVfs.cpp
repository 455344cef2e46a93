#include "store/PrivateSqliteVfs.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace appserver {

namespace {

sqlite3_vfs* g_system = nullptr;
sqlite3_vfs g_private;

// Creates the database file before SQLite does, as SQLite would create it 0644 less the umask.
// O_EXCL: only a file made here is changed, never one that exists or a link put in its place.
int openPrivately(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* outFlags) {
    if (name && (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_CREATE)) {
        int fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd >= 0) {
            ::fchmod(fd, S_IRUSR | S_IWUSR);  // a umask that took the owner's bits
            ::close(fd);
        }
    }
    return g_system->xOpen(g_system, name, file, flags, outFlags);
}

}  // namespace

const char* privateSqliteVfs() {
    static const char* const name = []() -> const char* {
        g_system = sqlite3_vfs_find(nullptr);
        if (!g_system) return nullptr;
        g_private = *g_system;
        g_private.pNext = nullptr;
        g_private.zName = "vlp-private";
        g_private.xOpen = openPrivately;
        return sqlite3_vfs_register(&g_private, 0) == SQLITE_OK ? g_private.zName : nullptr;
    }();
    return name;
}

}  // namespace appserver
