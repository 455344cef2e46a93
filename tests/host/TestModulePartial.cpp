// A module missing IniProc and Finalize.
extern "C" {
__attribute__((visibility("default"))) void Initialize() {}
__attribute__((visibility("default"))) const void* GetPackageInfoTable() { return nullptr; }
}
