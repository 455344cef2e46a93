#include "Pkg_vlp27000/PackageInfo.h"

#include <iterator>

#include "Cli_vlp27000/Cli_vlp27000.h"

namespace {

// One unit's start-up/shut-down pair with its counter; null work means the unit has none.
struct TUnit {
    int Count = 0;
    void (*Start)() = nullptr;
    void (*Stop)() = nullptr;
};

TUnit modelUnit;
TUnit serverUnit;
TUnit screenUnit{0, &Cli_vlp27000::Initialization, &Cli_vlp27000::Finalization};

template <TUnit& U>
void UnitInit() {
    if (U.Count++ == 0 && U.Start) U.Start();
}

// A shut-down without a matching start-up is ignored rather than driving the count negative.
template <TUnit& U>
void UnitFinalize() {
    if (U.Count == 0) return;
    if (--U.Count == 0 && U.Stop) U.Stop();
}

const TUnitEntry kUnits[] = {
    {&UnitInit<modelUnit>, &UnitFinalize<modelUnit>},
    {&UnitInit<serverUnit>, &UnitFinalize<serverUnit>},
    {&UnitInit<screenUnit>, &UnitFinalize<screenUnit>},
};

const TPackageInfoTable kTable{static_cast<int>(std::size(kUnits)), kUnits};

}  // namespace

extern "C" {

void IniProc() { Cli_vlp27000::CriaSugestaoProd(); }

void Initialize() {
    for (int i = 0; i < kTable.UnitCount; ++i) kTable.Units[i].Init();
}

void Finalize() {
    for (int i = kTable.UnitCount - 1; i >= 0; --i) kTable.Units[i].Finalize();
}

const TPackageInfoTable* GetPackageInfoTable() { return &kTable; }
}
