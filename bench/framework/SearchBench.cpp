// Pesquisar over large lists: opening the dialog and one keystroke of the filter, beside the
// anchor of touching every value of the list once (the least any search must pay to open).
// Run with QT_QPA_PLATFORM=offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <map>
#include <memory>

#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TSearchDialog.h"
#include "TSearchModel.h"
#include "wire/Packet.h"

namespace {

const char* kWords[] = {"Café", "Chá",      "Açúcar", "Mate",  "Adoçante", "Biscoito", "Leite",
                        "Pão",  "Manteiga", "Queijo", "Arroz", "Feijão",   "Óleo",     "Sal"};

// One list per size, built once: tree code, internal code (hidden), name.
TClientDataSet& Products(int rows) {
    static std::map<int, std::unique_ptr<TClientDataSet>> lists;
    auto& ds = lists[rows];
    if (!ds) {
        ds = std::make_unique<TClientDataSet>(
            "cdsPesqProd", std::vector<TFieldDef>{{"CDPRODUTO", 10, "", 0, false},
                                                  {"CDARVPROD", 20, "Código", 0, true},
                                                  {"NMPRODUTO", 50, "Nome", 50, true}});
        wire::Packet packet;
        packet.fields = {{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}};
        packet.rows.reserve(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            std::string code = std::to_string(i), tree, name;
            tree.append(std::to_string(i % 10)).append(".").append(std::to_string(i % 97));
            tree.append(".").append(code);
            name.append(kWords[i % 14]).append(" ").append(kWords[(i / 14) % 14]);
            name.append(" ").append(code);
            packet.rows.push_back({code, tree, name});
        }
        ds->SetData(packet.toJson());
    }
    return *ds;
}

void BM_Anchor_TouchEveryVisibleValue(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        size_t bytes = 0;
        for (int row = 0; row < ds.RecordCount(); ++row)
            for (int field : {1, 2})
                if (auto v = ds.ValueAt(row, field)) bytes += v->size();
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_PesquisarOpen(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    TDataSource source(&ds);
    for (auto _ : state) {
        TSearchDialog dialog(source, "Produto|Produto não cadastrado.");
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.Model()->rowCount());
    }
}

// A keystroke that starts a new search over every row (the worst case: not a narrowing).
void BM_PesquisarKeystroke_FullScan(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    TDataSource source(&ds);
    TSearchDialog dialog(source, "");
    dialog.show();
    QApplication::processEvents();
    const QString needles[] = {QStringLiteral("mat"), QStringLiteral("acu")};
    int i = 0;
    for (auto _ : state) {
        dialog.FilterBox()->setText(needles[i++ % 2]);
        QApplication::processEvents();  // the list repaints
    }
    state.counters["matches"] = dialog.Model()->rowCount();
}

// Typing one more letter: only the previous matches are looked at again.
void BM_PesquisarKeystroke_Narrowing(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    TDataSource source(&ds);
    TSearchDialog dialog(source, "");
    dialog.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.FilterBox()->setText(QStringLiteral("a"));
        QApplication::processEvents();
        state.ResumeTiming();
        dialog.FilterBox()->setText(QStringLiteral("ar"));
        QApplication::processEvents();
    }
}

BENCHMARK(BM_Anchor_TouchEveryVisibleValue)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PesquisarOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PesquisarKeystroke_FullScan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PesquisarKeystroke_Narrowing)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
