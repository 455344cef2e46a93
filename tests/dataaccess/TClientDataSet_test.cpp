// States, editing, navigation, fields and the order of events and notifications.
#include "dataaccess/TClientDataSet.h"

#include <gtest/gtest.h>

#include "dataaccess/TDataSetObserver.h"
#include "wire/Packet.h"

namespace {

// A design-time field (all members given, as -Wextra wants).
TFieldDef def(const char* name, int size, const char* label = "") {
    return {name, size, label, 0, true};
}

std::vector<TFieldDef> productFields() {
    return {def("CDARVPROD", 20, "Código"), def("CDPRODUTO", 10), def("NMPRODUTO", 50, "Nome")};
}

std::string productPacket(const std::vector<std::vector<wire::Value>>& rows) {
    wire::Packet packet;
    packet.fields = {{"CDARVPROD", 20}, {"CDPRODUTO", 10}, {"NMPRODUTO", 50}};
    packet.rows = rows;
    return packet.toJson();
}

// Events and notifications, in the order they happen, as one string.
class Recorder : public TDataSetObserver {
  public:
    explicit Recorder(TClientDataSet& ds) : m_ds(ds) {
        ds.BeforeInsert = note("BeforeInsert");
        ds.AfterInsert = note("AfterInsert");
        ds.BeforeEdit = note("BeforeEdit");
        ds.AfterEdit = note("AfterEdit");
        ds.BeforePost = note("BeforePost");
        ds.AfterPost = note("AfterPost");
        ds.BeforeCancel = note("BeforeCancel");
        ds.AfterCancel = note("AfterCancel");
        ds.BeforeDelete = note("BeforeDelete");
        ds.AfterDelete = note("AfterDelete");
        ds.BeforeScroll = note("BeforeScroll");
        ds.AfterScroll = note("AfterScroll");
        ds.AddObserver(this);
    }
    ~Recorder() override { m_ds.RemoveObserver(this); }

    std::string take() {
        std::string out;
        out.swap(log);
        return out;
    }

    void DataSetReset() override { add("reset"); }
    void RowInserted(int row) override { add("ins" + std::to_string(row)); }
    void RowRemoved(int row) override { add("rem" + std::to_string(row)); }
    void RowChanged(int row) override { add("chg" + std::to_string(row)); }
    void CurrentChanged(int from, int to) override {
        add("cur" + std::to_string(from) + ">" + std::to_string(to));
    }
    void StateChanged(TDataSetState state) override {
        static const char* names[] = {"inactive", "browse", "edit", "insert"};
        add(std::string("state:") + names[static_cast<int>(state)]);
    }
    void FocusFieldRequested(TField& field) override { add("focus:" + field.FieldName()); }

    std::string log;

  private:
    TDataSetNotifyEvent note(const char* name) {
        return [this, name](TClientDataSet&) { add(name); };
    }
    void add(const std::string& what) { log += (log.empty() ? "" : " ") + what; }
    TClientDataSet& m_ds;
};

class TClientDataSetTest : public ::testing::Test {
  protected:
    TClientDataSetTest() {
        ds.SetData(productPacket({{"1.01", "0000000001", "Café"},
                                  {"1.02", "0000000002", "Açúcar"},
                                  {"1.03", "0000000003", "Sugestão"}}));
    }
    std::string names() {
        std::string out;
        for (int r = 0; r < ds.RecordCount(); ++r) {
            const auto v = ds.ValueAt(r, 2);
            out += (r ? "," : "") + (v ? std::string(*v) : std::string("~"));
        }
        return out;
    }
    TClientDataSet ds{"cdsArvProd", productFields()};
};

TEST_F(TClientDataSetTest, EventsOfInsertPostEditCancelDeleteInOrder) {
    Recorder rec(ds);
    ds.Next();
    EXPECT_EQ(rec.take(), "BeforeScroll cur0>1 AfterScroll");

    ds.Insert();
    EXPECT_EQ(rec.take(),
              "BeforeInsert BeforeScroll ins1 cur1>1 state:insert AfterInsert AfterScroll");
    ds.FieldByName("NMPRODUTO").SetAsString("Pão");
    ds.Post();
    EXPECT_EQ(rec.take(), "chg1 BeforePost chg1 state:browse AfterPost");

    ds.Edit();
    ds.Edit();  // already editing: nothing
    EXPECT_EQ(rec.take(), "BeforeEdit state:edit AfterEdit");
    ds.FieldByName("NMPRODUTO").SetAsString("Pães");
    ds.Cancel();
    EXPECT_EQ(rec.take(), "chg1 BeforeCancel chg1 state:browse AfterCancel");
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), "Pão");

    ds.Delete();
    EXPECT_EQ(rec.take(), "BeforeDelete BeforeScroll rem1 cur1>1 AfterDelete AfterScroll");
    EXPECT_EQ(names(), "Café,Açúcar,Sugestão");
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), "Açúcar");
}

TEST_F(TClientDataSetTest, CancelledInsertReturnsToThePreviousRow) {
    ds.Last();
    Recorder rec(ds);
    ds.Append();
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_FALSE(ds.IsEmpty());
    rec.take();
    ds.Cancel();
    EXPECT_EQ(rec.take(),
              "BeforeCancel BeforeScroll rem3 cur3>2 state:browse AfterCancel AfterScroll");
    EXPECT_EQ(ds.RecNo(), 2);

    ds.First();
    ds.Append();
    ds.Delete();  // in insert state Delete cancels the insert
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(TClientDataSetTest, BeforePostExceptionRefusesThePostAndKeepsEditing) {
    ds.BeforePost = [](TClientDataSet&) { throw std::runtime_error("Nome deve ser informado."); };
    ds.Insert();
    ds.FieldByName("CDARVPROD").SetAsString("9.99");
    EXPECT_THROW(
        {
            try {
                ds.Post();
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Nome deve ser informado.");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds.FieldByName("CDARVPROD").AsString(), "9.99");
    EXPECT_EQ(ds.ChangeCount(), 0);
    // A move must not slip past the refusal either.
    EXPECT_THROW(ds.Next(), std::runtime_error);
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);

    ds.BeforePost = nullptr;
    ds.Post();
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 1);
}

TEST_F(TClientDataSetTest, MovesPostTypedEditsAndDropUntouchedNewRows) {
    ds.Edit();
    ds.FieldByName("NMPRODUTO").SetAsString("Café torrado");
    ds.Next();
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(names(), "Café torrado,Açúcar,Sugestão");
    EXPECT_EQ(ds.RecNo(), 1);

    ds.Insert();  // before row 1, untouched
    EXPECT_EQ(ds.RecordCount(), 4);
    ds.MoveTo(3);  // the untouched row vanishes; row 3 was "Sugestão", now at 2
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), "Sugestão");

    ds.Insert();
    ds.FieldByName("NMPRODUTO").SetAsString("Novo");
    ds.Append();  // posts the first new row, then begins another at the end
    EXPECT_EQ(names(), "Café torrado,Açúcar,Novo,Sugestão,~");
    EXPECT_EQ(ds.RecNo(), 4);
    ds.Cancel();

    // What AfterInsert writes are defaults: a row holding only them is still untouched.
    ds.AfterInsert = [](TClientDataSet& d) { d.FieldByName("CDPRODUTO").SetAsString("0"); };
    ds.Insert();
    EXPECT_FALSE(ds.Modified());
    ds.MoveTo(0);
    EXPECT_EQ(names(), "Café torrado,Açúcar,Novo,Sugestão");
    EXPECT_EQ(ds.ChangeCount(), 2);
}

TEST_F(TClientDataSetTest, RowChangedTellsPostedRowsTheLogHolds) {
    auto changed = [&] {
        std::string rows;
        for (int row = -1; row <= ds.RecordCount(); ++row) rows += ds.RowChanged(row) ? '1' : '0';
        return rows;
    };
    EXPECT_EQ(changed(), "00000");
    ds.MoveTo(1);
    ds.Edit();
    ds.FieldByName("NMPRODUTO").SetAsString("Mascavo");
    EXPECT_EQ(changed(), "00000") << "an edit not yet posted is no change";
    ds.Post();
    ds.Insert();
    ds.FieldByName("NMPRODUTO").SetAsString("Novo");
    EXPECT_EQ(changed(), "000100") << "the row being inserted is none";
    ds.Post();
    EXPECT_EQ(changed(), "001100");
    ds.MergeChangeLog();
    EXPECT_EQ(changed(), "000000");
}

TEST_F(TClientDataSetTest, NavigationKeepsBofAndEof) {
    std::string seen;
    for (ds.First(); !ds.Eof(); ds.Next()) seen += ds.FieldByName("CDPRODUTO").AsString().substr(9);
    EXPECT_EQ(seen, "123");
    EXPECT_EQ(ds.RecNo(), 2);
    ds.Prior();
    ds.Prior();
    EXPECT_FALSE(ds.Bof());
    ds.Prior();
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
}

TEST_F(TClientDataSetTest, LocateIsExactAndMovesNothingWhenNoneMatches) {
    Recorder rec(ds);
    EXPECT_TRUE(ds.Locate("NMPRODUTO", "Sugestão"));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(rec.take(), "BeforeScroll cur0>2 AfterScroll");
    EXPECT_TRUE(ds.Locate("NMPRODUTO", "Sugestão"));  // already there: no scroll
    EXPECT_EQ(rec.take(), "");
    EXPECT_FALSE(ds.Locate("NMPRODUTO", "sugestão"));
    EXPECT_FALSE(ds.Locate("NMPRODUTO", "Sug"));
    EXPECT_FALSE(ds.Locate("NMPRODUTO", ""));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(rec.take(), "");
    EXPECT_THROW(ds.Locate("NAOEXISTE", "x"), EDatabaseError);

    ds.Edit();
    ds.FieldByName("NMPRODUTO").Clear();
    ds.Post();
    ds.Insert();
    ds.FieldByName("NMPRODUTO").SetAsString("");
    EXPECT_TRUE(ds.Locate("NMPRODUTO", ""));  // posts the new row first; null is not ""
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(names(), "Café,Açúcar,,~");
}

TEST_F(TClientDataSetTest, FieldsReadWriteAndRefuseWhatDoesNotFit) {
    TField& name = ds.FieldByName("NMPRODUTO");
    EXPECT_EQ(name.Size(), 50);
    EXPECT_EQ(name.DisplayLabel(), "Nome");
    EXPECT_EQ(ds.FieldByName("CDPRODUTO").DisplayLabel(), "CDPRODUTO");
    EXPECT_EQ(ds.FindField("X"), nullptr);
    try {
        ds.FieldByName("CDGRUSUGESPROD");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "cdsArvProd: o campo CDGRUSUGESPROD não existe.");
    }
    EXPECT_THROW(name.SetAsString("x"), EDatabaseError);  // browse state

    ds.Edit();
    EXPECT_EQ(name.OldValue(), "Café");
    const std::string fifty(50, 'a');
    std::string accented;
    for (int i = 0; i < 50; ++i) accented += "ç";  // 50 characters, 100 bytes
    name.SetAsString(accented);
    try {
        name.SetAsString(fifty + "ã");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Valor longo demais para o campo NMPRODUTO (máximo 50 caracteres).");
    }
    EXPECT_THROW(name.SetAsString("\xC3("), EDatabaseError);
    EXPECT_EQ(name.AsString(), accented);  // refused values change nothing
    EXPECT_EQ(name.OldValue(), "Café");
    EXPECT_TRUE(ds.Modified());

    name.Clear();
    EXPECT_TRUE(name.IsNull());
    name.SetAsString("");
    EXPECT_FALSE(name.IsNull());
    EXPECT_EQ(name.Value(), std::optional<std::string>(""));
    ds.Post();
    EXPECT_FALSE(name.IsNull());
    EXPECT_EQ(name.OldValue(), "");
}

TEST_F(TClientDataSetTest, InactiveAndEmptyRecordSetsRefuseWithMessages) {
    TClientDataSet closed("cdsVerifProduto", productFields());
    EXPECT_FALSE(closed.Active());
    EXPECT_TRUE(closed.IsEmpty());
    EXPECT_EQ(closed.RecNo(), -1);
    EXPECT_EQ(closed.FieldByName("CDPRODUTO").AsString(), "");
    try {
        closed.Insert();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "cdsVerifProduto: o conjunto de registros não está aberto.");
    }
    closed.Open();
    EXPECT_THROW(closed.Delete(), EDatabaseError);
    closed.Edit();  // nothing to edit: begins a new row
    EXPECT_EQ(closed.State(), TDataSetState::dsInsert);
    closed.Close();
    EXPECT_EQ(closed.State(), TDataSetState::dsInactive);
    EXPECT_EQ(closed.RecordCount(), 0);
}

TEST_F(TClientDataSetTest, ObserversHearEditsFocusAndDestruction) {
    struct Gone : TDataSetObserver {
        bool told = false;
        void DataSetDestroying() override { told = true; }
    } gone;
    {
        TClientDataSet temp("cdsTemp", productFields());
        temp.AddObserver(&gone);
        Recorder rec(temp);
        temp.SetData(productPacket({{"1", "2", "3"}}));
        temp.Edit();
        temp.FieldByName("CDPRODUTO").SetAsString("22");
        temp.FieldByName("CDARVPROD").FocusControl();
        EXPECT_EQ(rec.take(),
                  "reset state:browse BeforeEdit state:edit AfterEdit chg0 focus:CDARVPROD");
    }
    EXPECT_TRUE(gone.told);
}

TEST_F(TClientDataSetTest, ObserversCanReadTheRowTheyAreToldAbout) {
    // A grid model reads the row it is told about; the row has no stored values yet.
    struct Reader : TDataSetObserver {
        TClientDataSet* ds = nullptr;
        std::string seen;
        void RowInserted(int row) override {
            seen = std::to_string(static_cast<int>(ds->State())) + " " +
                   (ds->ValueAt(row, 2) ? "value" : "null") + " " +
                   (ds->FieldByName("NMPRODUTO").OldValue() ? "old" : "no-old") + " " +
                   (ds->FieldByName("NMPRODUTO").IsNull() ? "null" : "value");
        }
        void RowChanged(int row) override {
            const auto value = ds->ValueAt(row, 2);
            seen = std::to_string(static_cast<int>(ds->State())) + " " +
                   (value ? std::string(*value) : "null") + " " +
                   ds->FieldByName("NMPRODUTO").AsString();
        }
    } reader;
    reader.ds = &ds;
    ds.AddObserver(&reader);
    ds.Append();
    EXPECT_EQ(reader.seen, "3 null no-old null");
    ds.FieldByName("NMPRODUTO").SetAsString("Feijão");
    EXPECT_EQ(reader.seen, "3 Feijão Feijão");
    ds.Post();
    EXPECT_EQ(reader.seen, "1 Feijão Feijão");
    ds.RemoveObserver(&reader);
}

TEST_F(TClientDataSetTest, HandlersMayReloadTheRecordSetFromAfterPost) {
    ds.AfterPost = [](TClientDataSet& self) {
        self.MergeChangeLog();
        self.SetData(productPacket({{"2.01", "0000000009", "Recarregado"}}));
        self.Locate("CDARVPROD", "2.01");
    };
    ds.Edit();
    ds.FieldByName("NMPRODUTO").SetAsString("Outro");
    ds.Post();
    EXPECT_EQ(names(), "Recarregado");
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 0);
}

}  // namespace
