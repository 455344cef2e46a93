#pragma once
// The module's entry points under their plain names, as the host's module loader looks them up.
// The unit table lists every unit the module contains or uses in start-up order, the screen
// unit last; Initialize walks it forwards and Finalize backwards. Each unit counts its
// start-ups: only the first does its work and only the matching last shut-down undoes it.

#define VLP27000_EXPORT __attribute__((visibility("default")))

extern "C" {

struct TUnitEntry {
    void (*Init)();
    void (*Finalize)();
};

struct TPackageInfoTable {
    int UnitCount;
    const TUnitEntry* Units;
};

// Opens the screen (or brings it up); errors travel on to the host.
VLP27000_EXPORT void IniProc();
VLP27000_EXPORT void Initialize();
VLP27000_EXPORT void Finalize();
VLP27000_EXPORT const TPackageInfoTable* GetPackageInfoTable();
}
