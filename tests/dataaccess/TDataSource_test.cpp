// Data sources: state mirroring, re-assignment, forwarding and detaching.
#include "dataaccess/TDataSource.h"

#include <gtest/gtest.h>

#include <memory>

#include "dataaccess/TClientDataSet.h"
#include "wire/Packet.h"

namespace {

const char* name(TDataSetState state) {
    static const char* names[] = {"inactive", "browse", "edit", "insert"};
    return names[static_cast<int>(state)];
}

std::unique_ptr<TClientDataSet> openSet(const std::string& dsName, int rows) {
    auto ds = std::make_unique<TClientDataSet>(
        dsName, std::vector<TFieldDef>{TFieldDef{"CD", 10, "", 0, true}});
    wire::Packet p;
    p.fields = {{"CD", 10}};
    for (int i = 0; i < rows; ++i) p.rows.push_back({std::to_string(i)});
    ds->SetData(p.toJson());
    return ds;
}

struct Watcher : TDataSetObserver {
    std::string log;
    void add(const std::string& s) { log += (log.empty() ? "" : " ") + s; }
    void DataSetReset() override { add("reset"); }
    void RowInserted(int row) override { add("ins" + std::to_string(row)); }
    void RowRemoved(int row) override { add("rem" + std::to_string(row)); }
    void RowChanged(int row) override { add("chg" + std::to_string(row)); }
    void CurrentChanged(int a, int b) override {
        add("cur" + std::to_string(a) + ">" + std::to_string(b));
    }
    void StateChanged(TDataSetState s) override { add(std::string("state:") + name(s)); }
    void FocusFieldRequested(TField& f) override { add("focus:" + f.FieldName()); }
    void DataSetDestroying() override { add("gone"); }
};

class TDataSourceTest : public ::testing::Test {
  protected:
    TDataSourceTest() {
        dts.OnStateChange = [this](TDataSource& s) {
            changes += std::string(changes.empty() ? "" : " ") + name(s.State());
        };
    }
    std::unique_ptr<TClientDataSet> groups = openSet("cdsGrupSegProd", 2);
    std::unique_ptr<TClientDataSet> products = openSet("cdsArvProd", 1);
    TDataSource dts;
    std::string changes;
};

TEST_F(TDataSourceTest, StateMirrorsEveryChangeOfItsRecordSet) {
    dts.SetDataSet(groups.get());
    groups->Edit();
    groups->Post();
    groups->Insert();
    groups->Cancel();
    groups->Close();
    EXPECT_EQ(changes, "browse edit browse insert browse inactive");
    EXPECT_EQ(dts.State(), TDataSetState::dsInactive);
}

TEST_F(TDataSourceTest, ReassigningReportsInactiveThenTheNewState) {
    dts.SetDataSet(groups.get());
    changes.clear();
    products->Edit();
    dts.SetDataSet(products.get());
    EXPECT_EQ(changes, "inactive edit");
    dts.SetDataSet(products.get());  // the same record set: reported all the same
    EXPECT_EQ(changes, "inactive edit inactive edit");
    dts.SetDataSet(nullptr);
    dts.SetDataSet(nullptr);  // nothing attached, nothing attached again: no change
    EXPECT_EQ(changes, "inactive edit inactive edit inactive");
    groups->Edit();  // no longer attached
    EXPECT_EQ(changes, "inactive edit inactive edit inactive");
}

TEST_F(TDataSourceTest, LoadingAPacketIsACloseAndAnOpenWhateverTheStateBefore) {
    const std::string packet = openSet("x", 3)->Data();
    struct Case {
        const char* before;
        const char* expected;
    } cases[] = {{"inactive", "browse"},
                 {"browse", "inactive browse"},
                 {"edit", "inactive browse"},
                 {"insert", "inactive browse"}};
    for (const Case& c : cases) {
        auto ds = openSet("cdsGrupSegProd", 2);
        std::string before = c.before;
        if (before == "inactive") ds->Close();
        if (before == "edit") ds->Edit();
        if (before == "insert") ds->Insert();
        dts.SetDataSet(ds.get());
        changes.clear();
        ds->SetData(packet);
        EXPECT_EQ(changes, c.expected) << c.before;
        EXPECT_EQ(ds->RecordCount(), 3) << c.before;
        EXPECT_EQ(ds->ChangeCount(), 0) << c.before;
        dts.SetDataSet(nullptr);
    }
}

TEST_F(TDataSourceTest, ForwardsNotificationsAndTellsObserversOfReplacement) {
    Watcher w;
    dts.AddObserver(&w);
    dts.SetDataSet(groups.get());
    groups->Next();
    groups->Insert();
    groups->Fields(0).SetAsString("9");
    groups->Fields(0).FocusControl();
    groups->Cancel();
    EXPECT_EQ(w.log,
              "reset state:browse cur0>1 ins1 cur1>1 state:insert chg1 focus:CD rem1 cur1>1 "
              "state:browse");
    w.log.clear();
    dts.SetDataSet(products.get());
    EXPECT_EQ(w.log, "state:inactive reset state:browse");
    dts.RemoveObserver(&w);
}

TEST_F(TDataSourceTest, DetachesWhenItsRecordSetIsDestroyedFirst) {
    Watcher w;
    dts.SetDataSet(products.get());
    dts.AddObserver(&w);
    products.reset();
    EXPECT_EQ(dts.DataSet(), nullptr);
    EXPECT_EQ(dts.State(), TDataSetState::dsInactive);
    EXPECT_EQ(w.log, "state:inactive reset");
    dts.SetDataSet(groups.get());  // must not touch the destroyed record set
    EXPECT_EQ(dts.State(), TDataSetState::dsBrowse);

    {
        TDataSource second(groups.get());
        second.AddObserver(&w);
        w.log.clear();
    }
    EXPECT_EQ(w.log, "gone");
    groups->Edit();  // the destroyed source must be detached from the record set
    EXPECT_EQ(dts.State(), TDataSetState::dsEdit);
    dts.RemoveObserver(&w);
}

}  // namespace
