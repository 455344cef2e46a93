// Pesquisar over large lists: opening the dialog beside the anchor of touching every value of the
// list once (the least any search must pay to open); typing a search key by key beside the
// contiguous filter it replaced (ContiguousFilter), both repainting a list of the same size.
// Run with QT_QPA_PLATFORM=offscreen.

#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>

#include "ContiguousFilter.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"
#include "framework/TSearchDialog.h"
#include "framework/TSearchModel.h"
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

const char* kTyped[] = {"cafe cha 12", "12 cafe cha"};  // letters lead; digits lead

// Times each keystroke of kTyped[state.range(1)], typed from an empty box: `type` sets the text
// and lets the list repaint. Reports the slowest and the mean keystroke, and the most memory the
// filter held (`bytes`) after any keystroke.
template <class Type, class Bytes>
void TimeKeystrokes(benchmark::State& state, Type type, Bytes bytes) {
    const QString typed = QString::fromLatin1(kTyped[state.range(1)]);
    double slowest = 0, total = 0;
    size_t peak = bytes();
    int keys = 0;
    for (auto _ : state) {
        state.PauseTiming();
        type(QString());
        state.ResumeTiming();
        for (int length = 1; length <= typed.size(); ++length) {
            auto start = std::chrono::steady_clock::now();
            type(typed.left(length));
            std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            total += took.count();
            ++keys;
            peak = std::max(peak, bytes());
        }
    }
    state.SetLabel(kTyped[state.range(1)]);
    state.counters["key_max_ms"] = slowest;
    state.counters["key_mean_ms"] = total / keys;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

void BM_TypeWords(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    TDataSource source(&ds);
    TSearchDialog dialog(source, "");
    dialog.show();
    QApplication::processEvents();
    TimeKeystrokes(
        state,
        [&](const QString& text) {
            dialog.FilterBox()->setText(text);
            QApplication::processEvents();  // the list repaints
        },
        [&] { return dialog.Model()->Index().MemoryBytes(); });
    state.counters["matches"] = dialog.Model()->rowCount();
}

// The anchor's list: the visible fields of the rows its filter kept, as the dialog's model reads.
class AnchorModel : public QAbstractTableModel {
  public:
    AnchorModel(const TClientDataSet& ds, const std::vector<int>& rows) : m_ds(ds), m_rows(rows) {}
    void Reset(auto change) {
        beginResetModel();
        change();
        endResetModel();
    }
    int rowCount(const QModelIndex&) const override { return static_cast<int>(m_rows.size()); }
    int columnCount(const QModelIndex&) const override { return 2; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        auto value = m_ds.ValueAt(m_rows[static_cast<size_t>(index.row())], index.column() + 1);
        return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                     : QString();
    }

  private:
    const TClientDataSet& m_ds;
    const std::vector<int>& m_rows;
};

void BM_Anchor_TypeContiguous(benchmark::State& state) {
    TClientDataSet& ds = Products(static_cast<int>(state.range(0)));
    ContiguousFilter filter(ds, {1, 2});
    AnchorModel model(ds, filter.Filter(""));
    QTableView view;
    view.setModel(&model);
    view.resize(640, 420);
    view.show();
    QApplication::processEvents();
    TimeKeystrokes(
        state,
        [&](const QString& text) {
            model.Reset([&] { filter.Filter(text.toStdString()); });
            if (model.rowCount({}) > 0) view.selectRow(0);
            QApplication::processEvents();
        },
        [&] { return filter.MemoryBytes(); });
    state.counters["matches"] = model.rowCount({});
}

BENCHMARK(BM_Anchor_TouchEveryVisibleValue)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PesquisarOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PesquisarKeystroke_FullScan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Anchor_TypeContiguous)
    ->ArgsProduct({{1000000}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeWords)
    ->ArgsProduct({{1000000}, {0, 1}})
    ->Iterations(3)
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
