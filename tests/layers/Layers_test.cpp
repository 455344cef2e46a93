// Dependencies point one way: screen module -> screen -> calls -> declarations -> framework ->
// controls -> dataaccess -> wire; the host sits on the framework and never on the screen; the
// application server sits on wire alone. This test reads every #include "..." of src/, host/ and
// appserver/ and fails on one that points up, or on one in src/ or appserver/ that does not name
// its folder ("dataaccess/TClientDataSet.h"), so a reader sees the layer in the include itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <unistd.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The folders of the tree, each with the folders it may include from (itself always).
const std::map<std::string, std::set<std::string>>& AllowedIncludes() {
    static const std::map<std::string, std::set<std::string>> allowed = [] {
        const std::vector<std::string> chain = {"src/wire",      "src/dataaccess", "src/controls",
                                                "src/framework", "src/declarations", "src/calls",
                                                "src/Cli_vlp27000", "src/Pkg_vlp27000"};
        std::map<std::string, std::set<std::string>> rules;
        for (size_t i = 0; i < chain.size(); ++i)
            rules[chain[i]] = {chain.begin(), chain.begin() + static_cast<long>(i) + 1};
        rules["host"] = {"host", "src/framework", "src/controls", "src/dataaccess", "src/wire"};
        // The program (rpc/main.cpp) hands the administration subcommands to admin; sign-in
        // checks passwords through auth; the export and import methods run transfer.
        rules["appserver/rpc"] = {"appserver/rpc",   "appserver/admin",    "appserver/auth",
                                  "appserver/store", "appserver/transfer", "src/wire"};
        rules["appserver/admin"] = {"appserver/admin", "appserver/auth", "appserver/store",
                                    "appserver/csv", "appserver/transfer", "src/wire"};
        rules["appserver/auth"] = {"appserver/auth"};
        rules["appserver/store"] = {"appserver/store", "src/wire"};
        rules["appserver/csv"] = {"appserver/csv", "src/wire"};
        rules["appserver/transfer"] = {"appserver/transfer", "appserver/csv", "appserver/store",
                                       "src/wire"};
        return rules;
    }();
    return allowed;
}

// The rule folder a file belongs to ("src/controls" for src/controls/TDBGrid.cpp); "" if none.
std::string FolderOf(const fs::path& relative) {
    std::string best;
    std::string path = relative.generic_string();
    for (const auto& [folder, _] : AllowedIncludes())
        if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
    return best;
}

struct Violation {
    std::string file, include, from, to;
};

class IncludeChecker {
  public:
    explicit IncludeChecker(fs::path root) : m_root(std::move(root)) {
        for (const auto& [folder, _] : AllowedIncludes()) {
            if (!fs::exists(m_root / folder)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(m_root / folder))
                if (entry.is_regular_file()) {
                    fs::path relative = fs::relative(entry.path(), m_root);
                    m_files.push_back(relative);
                    m_byName[relative.filename().string()].push_back(relative);
                }
        }
    }

    std::vector<Violation> Check() const {
        static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
        std::vector<Violation> violations;
        for (const fs::path& file : m_files) {
            std::string from = FolderOf(file);
            std::ifstream in(m_root / file);
            std::string line;
            std::smatch match;
            while (std::getline(in, line)) {
                if (!std::regex_search(line, match, include)) continue;
                if (NeedsFolder(file) && match[1].str().find('/') == std::string::npos)
                    violations.push_back({file.generic_string(), match[1].str(), from, "?"});
                for (const fs::path& target : Resolve(file, match[1].str())) {
                    std::string to = FolderOf(target);
                    if (!to.empty() && !AllowedIncludes().at(from).count(to))
                        violations.push_back({file.generic_string(), match[1].str(), from, to});
                }
            }
        }
        return violations;
    }

  private:
    static bool NeedsFolder(const fs::path& file) {
        std::string path = file.generic_string();
        return path.rfind("src/", 0) == 0 || path.rfind("appserver/", 0) == 0;
    }

    // The project headers an include may name: beside the file, under one of the include roots
    // ("wire/Rpc.h", "store/Store.h"), or, for a bare name, any folder holding that file.
    std::vector<fs::path> Resolve(const fs::path& file, const std::string& name) const {
        for (const fs::path& candidate : {file.parent_path() / name, fs::path("src") / name,
                                          fs::path("appserver") / name})
            if (fs::exists(m_root / candidate)) return {candidate.lexically_normal()};
        auto found = m_byName.find(fs::path(name).filename().string());
        if (found == m_byName.end() || fs::path(name).has_parent_path()) return {};
        return found->second;
    }

    fs::path m_root;
    std::vector<fs::path> m_files;
    std::map<std::string, std::vector<fs::path>> m_byName;
};

std::string Describe(const std::vector<Violation>& violations) {
    std::string out;
    for (const Violation& v : violations)
        out += v.file + " includes \"" + v.include + "\": " +
               (v.to == "?" ? "name the folder" : v.from + " may not use " + v.to) + "\n";
    return out;
}

}  // namespace

TEST(Layers, NoIncludePointsUpInTheProduct) {
    std::vector<Violation> violations = IncludeChecker(VLP_SOURCE_DIR).Check();
    EXPECT_TRUE(violations.empty()) << Describe(violations);
}

// The checker itself, on a small tree written for each case.
TEST(Layers, TheCheckerRefusesUpwardIncludesAndAcceptsDownwardOnes) {
    struct Case {
        const char* header;  // the header that exists, relative to the root
        const char* file;    // the file that includes it
        const char* include;
        bool refused;
    } cases[] = {
        {"src/framework/StdDialogs.h", "src/controls/TDBGrid.cpp", "framework/StdDialogs.h", true},
        {"src/controls/TDBGrid.h", "src/framework/TfrmPadraoGrid.h", "controls/TDBGrid.h", false},
        {"src/controls/TDBGrid.h", "src/framework/TfrmPadraoGrid.h", "TDBGrid.h", true},
        {"src/controls/TDBGrid.h", "src/controls/TDBGrid.cpp", "TDBGrid.h", true},
        {"src/wire/Rpc.h", "src/dataaccess/TNetConnection.cpp", "wire/Rpc.h", false},
        {"src/dataaccess/TField.h", "src/wire/Packet.cpp", "dataaccess/TField.h", true},
        {"src/Cli_vlp27000/TfrmSugestaoProd.h", "host/MainWindow.cpp", "TfrmSugestaoProd.h", true},
        {"src/declarations/GridDefs.h", "host/main.cpp", "declarations/GridDefs.h", true},
        {"src/framework/TApplication.h", "host/main.cpp", "framework/TApplication.h", false},
        {"src/dataaccess/TClientDataSet.h", "appserver/store/SqlStore.cpp",
         "dataaccess/TClientDataSet.h", true},
        {"appserver/store/Store.h", "appserver/rpc/Server.cpp", "store/Store.h", false},
        {"appserver/store/Store.h", "appserver/store/SqlStore.cpp", "Store.h", true},
        {"appserver/rpc/Server.h", "appserver/store/SqlStore.cpp", "rpc/Server.h", true},
        {"src/calls/Fetch.h", "src/declarations/GridDefs.cpp", "calls/Fetch.h", true},
        {"src/declarations/GridDefs.h", "src/Pkg_vlp27000/Pkg.cpp", "declarations/GridDefs.h",
         false},
    };
    for (const Case& c : cases) {
        fs::path root = fs::temp_directory_path() / ("vlp-layers-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* path : {c.header, c.file}) {
            fs::create_directories((root / path).parent_path());
            std::ofstream(root / path) << (path == c.file ? "#include \"" + std::string(c.include) +
                                                                "\"\n"
                                                          : "#pragma once\n");
        }
        EXPECT_EQ(!IncludeChecker(root).Check().empty(), c.refused) << c.file << " -> " << c.include;
        fs::remove_all(root);
    }
}
