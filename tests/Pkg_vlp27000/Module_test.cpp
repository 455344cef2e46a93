// The module as the host sees it: loaded with dlopen, entries found by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "Pkg_vlp27000/PackageInfo.h"  // types only: the entries themselves are reached through dlsym

namespace {

class Module : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        handle = dlopen(VLP27000_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }

    template <class T>
    static T* Symbol(const char* name) {
        return reinterpret_cast<T*>(dlsym(handle, name));
    }

    static bool& IdCriado() { return *Symbol<bool>("_ZN12Cli_vlp2700010boIdCriadoE"); }
    static std::string& Insert() {
        return *Symbol<std::string>("_ZN12Cli_vlp270008stInsertB5cxx11E");
    }
    static void Call(const char* name) { Symbol<void()>(name)(); }

    static inline void* handle = nullptr;
};

TEST_F(Module, ExportsEntriesPlainAndScreenNamesQualifiedByTheUnit) {
    for (const char* name :
         {"IniProc", "Initialize", "Finalize", "GetPackageInfoTable",
          "_ZN12Cli_vlp2700016CriaSugestaoProdEv", "_ZN12Cli_vlp2700015frmSugestaoProdE",
          "_ZN12Cli_vlp2700010boIdCriadoE", "_ZN12Cli_vlp270008stInsertB5cxx11E"})
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    EXPECT_EQ(sizeof(IdCriado()), 1u);
}

TEST_F(Module, UnitTableListsTheUnitsWithTheScreenLast) {
    auto* table = Symbol<const TPackageInfoTable*()>("GetPackageInfoTable")();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->UnitCount, 3);
    for (int i = 0; i < table->UnitCount; ++i) {
        EXPECT_NE(table->Units[i].Init, nullptr);
        EXPECT_NE(table->Units[i].Finalize, nullptr);
    }
    // Only the screen unit's start-up touches the screen's variables.
    IdCriado() = true;
    table->Units[0].Init();
    table->Units[1].Init();
    EXPECT_TRUE(IdCriado());
    table->Units[2].Init();
    EXPECT_FALSE(IdCriado());
    for (int i = table->UnitCount - 1; i >= 0; --i) table->Units[i].Finalize();
}

TEST_F(Module, StartUpAndShutDownAreCountedPerUnit) {
    IdCriado() = true;
    Insert() = "I";
    Call("Initialize");
    EXPECT_FALSE(IdCriado());
    EXPECT_EQ(Insert(), "");

    Insert() = "E";
    IdCriado() = true;
    Call("Initialize");  // second start-up: no work
    EXPECT_TRUE(IdCriado());
    EXPECT_EQ(Insert(), "E");

    Call("Finalize");  // not the last shut-down yet
    EXPECT_EQ(Insert(), "E");
    Call("Finalize");
    EXPECT_EQ(Insert(), "");
    IdCriado() = false;
}

TEST_F(Module, UnmatchedShutDownIsIgnoredAndStartUpStillWorksAfterIt) {
    Call("Finalize");  // nothing started
    Insert() = "I";
    IdCriado() = true;
    Call("Initialize");
    EXPECT_EQ(Insert(), "");
    EXPECT_FALSE(IdCriado());
    Call("Finalize");
}

}  // namespace
