// Loading and writing data packets.
#include <gtest/gtest.h>

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSetObserver.h"
#include "wire/Packet.h"

namespace {

// A design-time field (all members given, as -Wextra wants).
TFieldDef def(const char* name, int size, const char* label = "") {
    return {name, size, label, 0, true};
}

std::vector<TFieldDef> productFields() {
    return {def("CDARVPROD", 20), def("CDPRODUTO", 10), def("NMPRODUTO", 50)};
}

std::string packet(std::vector<wire::FieldDef> fields, std::vector<std::vector<wire::Value>> rows) {
    wire::Packet p;
    p.fields = std::move(fields);
    p.rows = std::move(rows);
    return p.toJson();
}

std::string productPacket(std::vector<std::vector<wire::Value>> rows) {
    return packet({{"CDARVPROD", 20}, {"CDPRODUTO", 10}, {"NMPRODUTO", 50}}, std::move(rows));
}

std::string errorOf(TClientDataSet& ds, const std::string& json) {
    try {
        ds.SetData(json);
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "no error";
}

class TClientDataSetPacketTest : public ::testing::Test {
  protected:
    TClientDataSetPacketTest() {
        ds.SetData(
            productPacket({{"1.01", "0000000001", "Sugestão"}, {"1.02", "0000000002", "Pão"}}));
    }
    TClientDataSet ds{"cdsArvProd", productFields()};
};

TEST_F(TClientDataSetPacketTest, LoadOpensInBrowseOnTheFirstRowWithoutScrollAndEmptiesTheLog) {
    ds.Last();
    ds.Edit();
    ds.FieldByName("NMPRODUTO").SetAsString("Pão francês");
    ds.Post();
    ds.Edit();
    ASSERT_EQ(ds.ChangeCount(), 1);
    int scrolls = 0;
    ds.AfterScroll = [&scrolls](TClientDataSet&) { ++scrolls; };
    ds.SetData(productPacket(
        {{"2.01", "0000000010", "Ordem já cadastrada."}, {"2.02", "0000000011", std::nullopt}}));
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), "Ordem já cadastrada.");

    ds.SetData(productPacket({}));
    EXPECT_TRUE(ds.Active());
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.RecNo(), -1);
    EXPECT_TRUE(ds.Eof());
}

TEST_F(TClientDataSetPacketTest, RefusedPacketsNameTheFieldAndKeepTheContent) {
    const std::string before = ds.Data();
    ds.Next();
    ds.Edit();
    ds.FieldByName("NMPRODUTO").SetAsString("Em edição");

    // A refusal part-way through a packet must not leave it half-loaded either.
    EXPECT_EQ(errorOf(ds, packet({{"CDARVPROD", 20}, {"NMPRODUTO", 50}}, {{"9", "x"}})),
              "cdsArvProd: o campo CDPRODUTO não existe no pacote recebido.");
    EXPECT_EQ(errorOf(ds, packet({{"CDARVPROD", 20}, {"CDPRODUTO", 10}, {"NMPRODUTO", 60}},
                                 {{"9", "1", "curto"}, {"9", "2", std::string(51, 'x')}})),
              "cdsArvProd: valor longo demais para o campo NMPRODUTO na linha 2 do pacote recebido "
              "(máximo 50 caracteres).");
    for (const char* bad : {"", "{", "not json", "[]", "{\"fields\":[]", "{\"rows\":[]}",
                            "{\"fields\":[{\"name\":\"CDARVPROD\",\"size\":20}],\"rows\":[[1]]}"}) {
        const std::string message = errorOf(ds, bad);
        EXPECT_EQ(message.rfind("cdsArvProd: ", 0), 0u) << bad << " -> " << message;
    }

    EXPECT_EQ(ds.State(), TDataSetState::dsEdit);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), "Em edição");
    ds.Cancel();
    EXPECT_EQ(ds.Data(), before);
}

TEST_F(TClientDataSetPacketTest, SizesCountCharactersAndExtraFieldsAreIgnored) {
    std::string fiftyAccented;
    for (int i = 0; i < 50; ++i) fiftyAccented += "ã";
    ds.SetData(packet({{"EXTRA", 5}, {"NMPRODUTO", 200}, {"CDPRODUTO", 10}, {"CDARVPROD", 20}},
                      {{"e", fiftyAccented, "0000000001", "1.01"}}));
    EXPECT_EQ(ds.FieldByName("NMPRODUTO").AsString(), fiftyAccented);
    EXPECT_EQ(ds.FieldByName("CDARVPROD").AsString(), "1.01");

    const auto written = wire::Packet::fromJson(ds.Data());
    ASSERT_TRUE(written.isOk()) << written.status().message();
    const std::vector<wire::FieldDef> fields = {
        {"CDARVPROD", 20}, {"CDPRODUTO", 10}, {"NMPRODUTO", 50}};
    EXPECT_EQ(written->fields, fields);
    ASSERT_EQ(written->rows.size(), 1u);
    EXPECT_EQ(written->rows[0][2], wire::Value(fiftyAccented));
}

TEST_F(TClientDataSetPacketTest, NullStaysDistinctFromEmptyThroughLoadEditAndWrite) {
    ds.SetData(productPacket({{"1", std::nullopt, ""}}));
    EXPECT_TRUE(ds.FieldByName("CDPRODUTO").IsNull());
    EXPECT_FALSE(ds.FieldByName("NMPRODUTO").IsNull());
    ds.Append();
    ds.FieldByName("CDARVPROD").SetAsString("");
    ds.Post();

    const auto written = wire::Packet::fromJson(ds.Data());
    ASSERT_TRUE(written.isOk());
    const std::vector<std::vector<wire::Value>> rows = {{"1", std::nullopt, ""},
                                                        {"", std::nullopt, std::nullopt}};
    EXPECT_EQ(written->rows, rows);
}

TEST_F(TClientDataSetPacketTest, DataLeavesOutTheRowBeingInserted) {
    const std::string before = ds.Data();
    ds.Insert();
    ds.FieldByName("NMPRODUTO").SetAsString("Novo");
    EXPECT_EQ(ds.Data(), before);
}

TEST_F(TClientDataSetPacketTest, ObserversAreToldOfTheReset) {
    struct Resets : TDataSetObserver {
        int count = 0;
        void DataSetReset() override { ++count; }
    } resets;
    ds.AddObserver(&resets);
    ds.SetData(productPacket({}));
    const int told = resets.count;  // the close and the open of an open record set
    EXPECT_GE(told, 1);
    EXPECT_THROW(ds.SetData("{"), EDatabaseError);
    EXPECT_EQ(resets.count, told);  // a refused packet changes nothing
    ds.RemoveObserver(&resets);
}

TEST(TClientDataSetDefinition, RefusesDuplicateOrNamelessFields) {
    EXPECT_THROW(TClientDataSet("cdsX", {def("A", 1), def("A", 2)}), EDatabaseError);
    EXPECT_THROW(TClientDataSet("cdsX", {def("", 1)}), EDatabaseError);
}

}  // namespace
