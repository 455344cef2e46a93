// The files of a SQLite database on disk: who may read them.
#include "store/SqliteConnection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace appserver {
namespace {

namespace fs = std::filesystem;

class SqliteConnectionFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vlp-sqlite-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // The modes of the database and of its -wal and -shm, as "600 600 600" ("-" for a missing
    // one), read while a connection that has written holds them open.
    std::string modesAfterWriting(const std::string& path, const fs::path& file, mode_t umask) {
        const mode_t before = ::umask(umask);
        auto conn = SqliteConnection::open(path);
        ::umask(before);
        if (!conn) return conn.status().message();
        if (SqlError err = (*conn)->script("CREATE TABLE t (x TEXT); INSERT INTO t VALUES ('a')"))
            return err.detail;
        std::string modes;
        for (const char* suffix : {"", "-wal", "-shm"}) {
            struct stat st {};
            const bool found = ::stat((file.string() + suffix).c_str(), &st) == 0;
            char octal[8];
            std::snprintf(octal, sizeof octal, "%o", static_cast<unsigned>(st.st_mode & 0777));
            modes += std::string(modes.empty() ? "" : " ") + (found ? octal : "-");
        }
        return modes;
    }

    fs::path dir;
};

TEST_F(SqliteConnectionFiles, NewFilesAreTheOwnersAloneWhateverTheUmaskAndOldOnesKeepTheirMode) {
    const fs::path existing = dir / "existing.sqlite";
    std::ofstream{existing};
    fs::permissions(existing, fs::perms::owner_read | fs::perms::owner_write |
                                  fs::perms::group_read | fs::perms::others_read);
    const fs::path uri = dir / "uri.sqlite";
    const struct {
        std::string path;
        fs::path file;
        mode_t umask;
        const char* modes;
    } cases[] = {
        {(dir / "a.sqlite").string(), dir / "a.sqlite", 022, "600 600 600"},
        {(dir / "b.sqlite").string(), dir / "b.sqlite", 0, "600 600 600"},
        {(dir / "c.sqlite").string(), dir / "c.sqlite", 0277, "600 600 600"},
        // chmod 600 on the three is the operator's to do (docs/operations.md).
        {existing.string(), existing, 022, "644 644 644"},
        // A URI names the same file a path would (Debian's SQLite takes URIs as names).
        {"file:" + uri.string() + "?mode=rwc", uri, 022,
         sqlite3_compileoption_used("USE_URI") ? "600 600 600" : "- - -"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(modesAfterWriting(c.path, c.file, c.umask), c.modes) << c.path;
}

}  // namespace
}  // namespace appserver
