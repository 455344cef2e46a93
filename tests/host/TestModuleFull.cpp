// A module with every entry; each entry leaves a mark in the environment for the test to read.
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {
void Mark(const char* entry) {
    const char* before = std::getenv("VLP_TEST_MODULE_LOG");
    std::string log = before ? before : "";
    setenv("VLP_TEST_MODULE_LOG", (log + entry + " ").c_str(), 1);
}
}  // namespace

extern "C" {
__attribute__((visibility("default"))) void Initialize() { Mark("Initialize"); }
__attribute__((visibility("default"))) void Finalize() { Mark("Finalize"); }
__attribute__((visibility("default"))) void IniProc() {
    Mark("IniProc");
    if (std::getenv("VLP_TEST_MODULE_FAIL")) throw std::runtime_error("Falha ao abrir a tela.");
}
__attribute__((visibility("default"))) const void* GetPackageInfoTable() { return nullptr; }
}
