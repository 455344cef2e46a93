#pragma once
// The system's SQLite VFS with one change: a database file it creates is readable and writable by
// its owner alone (0600), whatever the process's umask. SQLite gives the -wal and -shm files it
// makes the mode of their database, so they follow. An existing file keeps its mode.

namespace appserver {

// The VFS's name for sqlite3_open_v2, registered on first use (thread-safe); null when SQLite
// has no default VFS to wrap.
const char* privateSqliteVfs();

}  // namespace appserver
