// The change log of a record set: folding, Delta, MergeChangeLog and CancelUpdates.
#include <gtest/gtest.h>

#include "dataaccess/TClientDataSet.h"
#include "wire/ChangeLog.h"
#include "wire/Packet.h"

namespace {

// A design-time field (all members given, as -Wextra wants).
TFieldDef def(const char* name, int size, const char* label = "") {
    return {name, size, label, 0, true};
}

std::string groupPacket(int rows) {
    wire::Packet p;
    p.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    for (int i = 1; i <= rows; ++i)
        p.rows.push_back({std::to_string(i), "G" + std::to_string(i), std::to_string(i)});
    return p.toJson();
}

class ChangeLogTest : public ::testing::Test {
  protected:
    ChangeLogTest() { ds.SetData(groupPacket(5)); }

    // The pending changes, decoded from Delta: "I(new) M(old>new) D(old)", values as names.
    std::string delta() {
        const auto log = wire::ChangeLog::fromJson(ds.Delta());
        EXPECT_TRUE(log.isOk()) << log.status().message();
        if (!log.isOk()) return "bad";
        std::string out;
        const auto name = [](const std::vector<wire::Value>& values) {
            return values[1] ? *values[1] : std::string("~");
        };
        for (const wire::Change& c : log->changes) {
            if (!out.empty()) out += ' ';
            switch (c.kind) {
                case wire::ChangeKind::Insert:
                    out += "I(" + name(c.newValues) + ")";
                    break;
                case wire::ChangeKind::Modify:
                    out += "M(" + name(c.oldValues) + ">" + name(c.newValues) + ")";
                    break;
                case wire::ChangeKind::Delete:
                    out += "D(" + name(c.oldValues) + ")";
                    break;
            }
        }
        EXPECT_EQ(static_cast<int>(log->changes.size()), ds.ChangeCount());
        return out;
    }
    std::string rows() {
        std::string out;
        for (int r = 0; r < ds.RecordCount(); ++r)
            out += (r ? "," : "") + std::string(*ds.ValueAt(r, 1));
        return out;
    }
    void rename(int row, const std::string& name) {
        ds.MoveTo(row);
        ds.Edit();
        ds.FieldByName("NMGRUSUGESPROD").SetAsString(name);
        ds.Post();
    }
    void insertAt(int row, const std::string& name) {
        ds.MoveTo(row);
        ds.Insert();
        ds.FieldByName("CDGRUSUGESPROD").SetAsString("9" + name);
        ds.FieldByName("NMGRUSUGESPROD").SetAsString(name);
        ds.Post();
    }
    void removeAt(int row) {
        ds.MoveTo(row);
        ds.Delete();
    }

    TClientDataSet ds{"cdsGrupSegProd",
                      {def("CDGRUSUGESPROD", 10), def("NMGRUSUGESPROD", 40), def("NRORDEM", 4)}};
};

TEST_F(ChangeLogTest, FoldsChangesPerRowInTheOrderRowsWereFirstChanged) {
    rename(3, "a");     // G4 modified
    insertAt(0, "N1");  // new row at 0
    rename(0, "N1b");   // insert then edit: still one insert
    rename(2, "x");     // G2
    rename(2, "y");     // edits of an unchanged row: one modification with the originals
    rename(4, "b");     // G4 again (now at 4)
    removeAt(4);        // modified then deleted: one deletion with the original values
    insertAt(1, "N2");
    removeAt(1);      // inserted then deleted: nothing
    rename(3, "G3");  // posting an edit that changed nothing adds nothing
    EXPECT_EQ(delta(), "D(G4) I(N1b) M(G2>y)");
    EXPECT_EQ(rows(), "N1b,G1,y,G3,G5");
}

TEST_F(ChangeLogTest, EditingBackToTheOriginalLeavesNothingToSend) {
    rename(1, "outro");
    rename(1, "G2");
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(delta(), "");
    rename(1, "de novo");
    EXPECT_EQ(delta(), "M(G2>de novo)");
}

TEST_F(ChangeLogTest, MergeMakesChangesContentAndTheNextChangeTravelsAlone) {
    insertAt(2, "N");
    rename(0, "A");
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(delta(), "");
    rename(2, "N2");  // the merged insert is now an ordinary row
    removeAt(0);
    EXPECT_EQ(delta(), "M(N>N2) D(A)");
    ds.CancelUpdates();
    EXPECT_EQ(rows(), "A,G2,N,G3,G4,G5");
}

TEST_F(ChangeLogTest, CancelUpdatesRestoresTheMergedStateInPlace) {
    rename(1, "x");
    removeAt(2);  // G3
    insertAt(0, "N1");
    removeAt(3);  // G4 (shifted by the insert)
    insertAt(2, "N2");
    ds.Append();
    ds.FieldByName("NMGRUSUGESPROD").SetAsString("pendente");
    ds.CancelUpdates();
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(rows(), "G1,G2,G3,G4,G5");
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(delta(), "");
}

TEST_F(ChangeLogTest, CancelUpdatesKeepsTheCurrentRowOrTheNearestPosition) {
    rename(3, "x");
    removeAt(0);
    ds.Locate("CDGRUSUGESPROD", "4");
    ds.CancelUpdates();
    EXPECT_EQ(ds.FieldByName("CDGRUSUGESPROD").AsString(), "4");  // the same row, moved down

    insertAt(2, "N");  // current is the new row at 2
    ds.CancelUpdates();
    EXPECT_EQ(ds.RecNo(), 2);  // the row is gone: the nearest position
    EXPECT_EQ(ds.FieldByName("NMGRUSUGESPROD").AsString(), "G3");

    insertAt(5, "fim");
    ds.Last();
    ds.CancelUpdates();
    EXPECT_EQ(ds.RecNo(), 4);

    TClientDataSet empty("cdsX", {def("A", 1)});
    empty.Open();
    empty.Append();
    empty.FieldByName("A").SetAsString("a");
    empty.Post();
    empty.CancelUpdates();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.RecNo(), -1);
}

TEST_F(ChangeLogTest, DeltaRoundTripsWithFieldsAndNulls) {
    ds.Append();
    ds.FieldByName("CDGRUSUGESPROD").SetAsString("77");
    ds.FieldByName("NMGRUSUGESPROD").SetAsString("Sugestão");
    ds.FieldByName("NRORDEM").SetAsString("");
    ds.Post();
    rename(0, "Ordem já cadastrada.");
    const auto log = wire::ChangeLog::fromJson(ds.Delta());
    ASSERT_TRUE(log.isOk()) << log.status().message();
    wire::ChangeLog expected;
    expected.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    expected.changes = {
        {wire::ChangeKind::Insert, {}, {"77", "Sugestão", ""}},
        {wire::ChangeKind::Modify, {"1", "G1", "1"}, {"1", "Ordem já cadastrada.", "1"}},
    };
    EXPECT_EQ(*log, expected);

    TClientDataSet withNull("cdsX", {def("A", 1), def("B", 1)});
    withNull.Open();
    withNull.Insert();
    withNull.FieldByName("A").SetAsString("a");
    withNull.Post();
    const auto nullLog = wire::ChangeLog::fromJson(withNull.Delta());
    ASSERT_TRUE(nullLog.isOk());
    EXPECT_EQ(nullLog->changes[0].newValues, (std::vector<wire::Value>{"a", std::nullopt}));
}

TEST_F(ChangeLogTest, FailedSaveKeepsTheLogForTheNextSave) {
    // As a product screen does: AfterPost sends the delta; a refusal leaves it pending.
    bool refuse = true;
    std::vector<std::string> sent;
    ds.AfterPost = [&](TClientDataSet& self) {
        if (self.ChangeCount() <= 0) return;
        sent.push_back(self.Delta());
        if (refuse) throw EDatabaseError("Produto já cadastrado.");
        self.MergeChangeLog();
    };
    EXPECT_THROW(rename(0, "a"), EDatabaseError);
    refuse = false;
    rename(1, "b");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(wire::ChangeLog::fromJson(sent[1])->changes.size(), 2u);
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST(ChangeLogLongSession, ManySavedEditsKeepValuesAndUndoIntact) {
    // Enough replaced rows to make the store reclaim them several times over.
    TClientDataSet ds("cdsLong", {def("K", 4), def("TEXTO", 4000)});
    wire::Packet p;
    p.fields = {{"K", 4}, {"TEXTO", 4000}};
    for (int i = 0; i < 3; ++i) p.rows.push_back({std::to_string(i), std::string(3000, 'a' + i)});
    ds.SetData(p.toJson());
    for (int i = 0; i < 2000; ++i) {
        ds.MoveTo(i % 3);
        ds.Edit();
        ds.FieldByName("TEXTO").SetAsString(std::string(3000, 'd' + i % 20));
        ds.Post();
        ds.MergeChangeLog();
    }
    ds.MoveTo(1);
    ds.Edit();
    ds.FieldByName("TEXTO").SetAsString("último");
    ds.Post();
    ds.MoveTo(0);
    ds.Delete();
    ds.CancelUpdates();
    ASSERT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(*ds.ValueAt(0, 1), std::string(3000, 'd' + 1998 % 20));
    EXPECT_EQ(*ds.ValueAt(1, 1), std::string(3000, 'd' + 1999 % 20));
    EXPECT_EQ(*ds.ValueAt(2, 0), "2");
    EXPECT_EQ(ds.ChangeCount(), 0);
}

}  // namespace
