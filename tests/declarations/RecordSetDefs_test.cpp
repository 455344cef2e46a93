#include "declarations/RecordSetDefs.h"

#include <gtest/gtest.h>

#include <sstream>

#include "declarations/GridDefs.h"

namespace {

// One line per field: name size label width and "h" when hidden.
std::string Describe(const declarations::TRecordSetDef& def) {
    std::ostringstream out;
    for (const TFieldDef& f : def.Fields) {
        out << f.Name << ' ' << f.Size;
        if (!f.DisplayLabel.empty()) out << " \"" << f.DisplayLabel << '"';
        if (f.DisplayWidth) out << " w" << f.DisplayWidth;
        if (!f.Visible) out << " h";
        out << '\n';
    }
    return out.str();
}

TEST(RecordSetDefs, EditableRecordSetsCarryTheirFieldsSizesLabelsAndWidths) {
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsGrupSegProd")),
              "CDGRUSUGESPROD 10 \"Código\" w12\n"
              "NMGRUSUGESPROD 40 \"Grupo\" w45\n"
              "NRORDEM 4 \"Ordem\" w10\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsArvProd")),
              "CDARVPROD 20 \"Código\" w20\n"
              "CDPRODUTO 10 h\n"
              "NMPRODUTO 50 \"Nome\" w50\n"
              "CDGRUSUGESPROD 10 h\n"
              "IDQUANTPRODPRINC 1 \"Quantidade\" w1 h\n"
              "IDTOTALPRODPRINC 1 \"Totalizador\" w1 h\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsProdRelac")),
              "CDGRUSUGESPROD 10 h\n"
              "CDPRODUTO 10 h\n"
              "CDPRODUTORELAC 10 h\n"
              "CDARVPRODRELAC 20 \"Código\" w20\n"
              "NMPRODUTORELAC 50 \"Nome\" w50\n"
              "IDQUANTPROD 1 \"Quantidade\" w1 h\n"
              "IDTOTALPROD 1 \"Totalizador\" w1 h\n");
}

TEST(RecordSetDefs, LookUpRecordSetsCarryTheFieldsTheirChecksRead) {
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsVerifOrd")),
              "CDGRUSUGESPROD 10\nNMGRUSUGESPROD 40\nNRORDEM 4\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsVerifProduto")),
              "CDPRODUTO 10\nCDARVPROD 20\nNMPRODUTO 50 w50\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsVdProdPrinc")),
              "CDARVPROD 20\nNMPRODUTO 50\nCDPRODUTO 10\nCDGRUSUGESPROD 10\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsVdProduto")), "CDPRODUTO 10 h\nNMPRODUTO 50 w50\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsPesqProd")),
              "CDPRODUTO 10 h\nCDARVPROD 20 \"Código\"\nNMPRODUTO 50 \"Nome\" w50\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsPesqProdPrinc")),
              "CDPRODUTO 10 h\nCDARVPROD 20 \"Código\"\nNMPRODUTO 50 \"Nome\"\n");
}

TEST(RecordSetDefs, TheExportAndThePreviewCarryTheirFieldsWithPortugueseLabels) {
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsExportaSugestoes")),
              "TXLINHA 1024 \"Linha\" w80\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsImportaSugestoes")),
              "NRLINHA 10 \"Linha\" w8\n"
              "NRCOLUNA 5 \"Coluna\" w6\n"
              "TPACAO 10 \"Ação\" w10\n"
              "TXDESCRICAO 1024 \"Descrição\" w80\n");
}

TEST(RecordSetDefs, WhereUsedAndHistoryCarryTheirAnswersFieldsWithPortugueseLabels) {
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsOndeUsado")),
              "CDGRUSUGESPROD 10 \"Grupo\" w10\nNMGRUSUGESPROD 40 \"Nome do grupo\" w40\n"
              "CDPRODUTO 10 h\nCDARVPROD 20 \"Produto principal\" w20\n"
              "NMPRODUTO 50 \"Nome\" w50\nTPUSO 1 \"Uso\" w11\n");
    EXPECT_EQ(Describe(declarations::RecordSetDef("cdsHistorico")),
              "NRHISTORICO 19 h\nNRGRAVACAO 19 \"Gravação\" w10\nDTGRAVACAO 19 \"Quando\" w19\n"
              "NMUSUARIO 40 \"Quem\" w20\nNMORIGEM 20 \"Origem\" w15\n"
              "TXALTERACAO 1024 \"Alteração\" w80\n");
}

TEST(RecordSetDefs, FifteenRecordSetsWithUniqueNamesAndAnUnknownNameIsRefused) {
    const auto& defs = declarations::RecordSetDefs();
    ASSERT_EQ(defs.size(), 15u);
    for (size_t i = 0; i < defs.size(); ++i)
        for (size_t j = i + 1; j < defs.size(); ++j) EXPECT_NE(defs[i].Name, defs[j].Name);
    EXPECT_THROW(declarations::RecordSetDef("cdsNada"), std::out_of_range);
}

TEST(GridDefs, EveryColumnNamesAFieldOfItsRecordSet) {
    for (const declarations::TGridDef& grid : declarations::GridDefs()) {
        const declarations::TRecordSetDef& rs = declarations::RecordSetDef(grid.RecordSet);
        for (const declarations::TColumnDef& col : grid.Columns) {
            bool found = false;
            for (const TFieldDef& f : rs.Fields) found = found || f.Name == col.FieldName;
            EXPECT_TRUE(found) << grid.Name << ": " << col.FieldName;
        }
    }
}

TEST(GridDefs, ColumnsInOrderWithPixelWidthsAndProductGridOptions) {
    auto widths = [](const char* name) {
        std::string s;
        for (const auto& c : declarations::GridDef(name).Columns)
            s += c.FieldName + "=" + std::to_string(c.Width) + " ";
        return s;
    };
    EXPECT_EQ(widths("dbgPadrao"), "CDGRUSUGESPROD=114 NMGRUSUGESPROD=0 NRORDEM=60 ");
    EXPECT_EQ(widths("dbgProduto"),
              "CDARVPROD=120 NMPRODUTO=344 IDQUANTPRODPRINC=62 IDTOTALPRODPRINC=60 ");
    EXPECT_EQ(widths("dbgProdRelac"),
              "CDARVPRODRELAC=0 NMPRODUTORELAC=290 IDQUANTPROD=68 IDTOTALPROD=61 ");
    for (const char* name : {"dbgProduto", "dbgProdRelac"}) {
        const declarations::TGridDef& g = declarations::GridDef(name);
        EXPECT_TRUE(g.Options & declarations::goConfirmDelete);
        EXPECT_TRUE(g.Options & declarations::goCancelOnExit);
        EXPECT_TRUE(g.Options & declarations::goEditing);
        EXPECT_TRUE(g.Borderless);
        EXPECT_EQ(g.TitleFont, "MS Sans Serif");
    }
}

}  // namespace
