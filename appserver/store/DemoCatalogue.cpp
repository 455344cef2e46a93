#include "store/DemoCatalogue.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "wire/ColumnFields.h"
#include "wire/FieldDef.h"

namespace appserver {

namespace {

struct Family {
    int department;
    int section;
    const char* base;
    std::vector<const char*> kinds;
    std::vector<const char*> sizes;
};

const char* const kBrands[] = {"Bom Grão", "Vale Verde", "Sol Nascente", "Dona Clara",
                               "Tradição", "Serra Azul", "Campo Bom",    "Estrela do Sul",
                               "Aurora",   "Primavera",  "Boa Mesa",     "Rio Claro"};
constexpr std::size_t kBrandCount = std::size(kBrands);
constexpr std::size_t kPerFamily = 120;

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {1,
         1,
         "Arroz",
         {"Branco Tipo 1", "Integral", "Parboilizado", "Arbóreo", "Agulhinha"},
         {"1kg", "2kg", "5kg"}},
        {1,
         1,
         "Feijão",
         {"Carioca", "Preto", "Fradinho", "Branco", "Rajado"},
         {"500g", "1kg", "2kg"}},
        {1,
         2,
         "Macarrão",
         {"Espaguete", "Parafuso", "Penne", "Talharim", "Ave-Maria"},
         {"500g", "1kg"}},
        {1,
         3,
         "Açúcar",
         {"Refinado", "Cristal", "Mascavo", "Demerara", "Orgânico"},
         {"1kg", "2kg", "5kg"}},
        {1,
         3,
         "Café em Pó",
         {"Tradicional", "Extraforte", "Gourmet", "Descafeinado"},
         {"250g", "500g", "1kg"}},
        {1, 4, "Óleo", {"de Soja", "de Milho", "de Girassol", "de Canola"}, {"500ml", "900ml"}},
        {1, 4, "Azeite", {"Extravirgem", "Virgem", "Tempero"}, {"250ml", "500ml", "1L"}},
        {1,
         5,
         "Farinha",
         {"de Trigo", "de Mandioca", "de Milho", "de Rosca"},
         {"500g", "1kg", "5kg"}},
        {1,
         5,
         "Biscoito",
         {"Cream Cracker", "Maisena", "Recheado", "Água e Sal", "Rosquinha"},
         {"200g", "400g"}},
        {1,
         6,
         "Molho de Tomate",
         {"Tradicional", "Peneirado", "Manjericão", "Pizza"},
         {"300g", "520g"}},
        {1, 6, "Achocolatado", {"em Pó", "Diet", "Cremoso"}, {"200g", "400g", "800g"}},
        {2,
         1,
         "Refrigerante",
         {"Cola", "Guaraná", "Laranja", "Limão", "Uva"},
         {"350ml", "600ml", "2L"}},
        {2, 2, "Suco", {"Laranja", "Uva", "Maçã", "Pêssego", "Manga", "Caju"}, {"200ml", "1L"}},
        {2, 3, "Água Mineral", {"sem Gás", "com Gás"}, {"500ml", "1,5L", "5L"}},
        {2,
         4,
         "Cerveja",
         {"Pilsen", "Puro Malte", "Sem Álcool", "IPA", "Weiss"},
         {"350ml", "600ml"}},
        {2, 5, "Leite", {"Integral", "Desnatado", "Semidesnatado", "Zero Lactose"}, {"1L"}},
        {3,
         1,
         "Queijo",
         {"Mussarela", "Prato", "Minas Frescal", "Parmesão", "Coalho"},
         {"200g", "500g"}},
        {3, 2, "Presunto", {"Cozido", "Defumado", "Tender"}, {"200g", "500g"}},
        {3,
         3,
         "Iogurte",
         {"Natural", "Morango", "Coco", "Grego", "Ameixa"},
         {"170g", "500g", "1kg"}},
        {3, 4, "Manteiga", {"com Sal", "sem Sal", "Ghee"}, {"200g", "500g"}},
        {3, 5, "Requeijão", {"Cremoso", "Light", "Culinário"}, {"200g", "400g"}},
        {4,
         1,
         "Carne Bovina",
         {"Picanha", "Alcatra", "Contrafilé", "Fraldinha", "Costela", "Patinho"},
         {"1kg", "500g"}},
        {4, 2, "Frango", {"Coxa", "Peito", "Asa", "Filé de Peito", "Inteiro"}, {"1kg", "600g"}},
        {4, 3, "Linguiça", {"Toscana", "Calabresa", "de Frango", "Apimentada"}, {"500g", "1kg"}},
        {4, 4, "Carvão Vegetal", {"Eucalipto", "Premium"}, {"3kg", "5kg", "10kg"}},
        {5,
         1,
         "Pão de Forma",
         {"Tradicional", "Integral", "Multigrãos", "sem Casca", "Brioche"},
         {"400g", "500g"}},
        {5, 2, "Bolo", {"Chocolate", "Laranja", "Cenoura", "Fubá", "Baunilha"}, {"300g", "500g"}},
        {5, 3, "Torrada", {"Tradicional", "Integral", "Light"}, {"140g", "300g"}},
        {6, 1, "Detergente", {"Neutro", "Limão", "Maçã", "Coco"}, {"500ml", "5L"}},
        {6, 2, "Sabão em Pó", {"Multiação", "Coco", "Roupas Brancas"}, {"800g", "1,6kg", "4kg"}},
        {6, 3, "Desinfetante", {"Lavanda", "Eucalipto", "Pinho", "Floral"}, {"500ml", "2L", "5L"}},
        {6, 4, "Água Sanitária", {"Tradicional", "Perfumada"}, {"1L", "2L", "5L"}},
        {6, 5, "Esponja", {"Dupla Face", "de Aço", "Multiuso"}, {"3un", "10un"}},
        {6, 6, "Saco de Lixo", {"Preto", "Azul", "Reforçado"}, {"30L", "50L", "100L"}},
        {7,
         1,
         "Sabonete",
         {"Neutro", "Erva-Doce", "Glicerina", "Aveia", "Hidratante"},
         {"90g", "6x85g"}},
        {7,
         2,
         "Creme Dental",
         {"Tradicional", "Branqueador", "Sensível", "Menta", "Infantil"},
         {"70g", "90g", "180g"}},
        {7,
         3,
         "Xampu",
         {"Normais", "Secos", "Anticaspa", "Infantil", "Cachos"},
         {"350ml", "750ml"}},
        {7,
         4,
         "Papel Higiênico",
         {"Folha Simples", "Folha Dupla", "Folha Tripla"},
         {"4 rolos", "12 rolos"}},
        {7, 5, "Desodorante", {"Aerossol", "Roll-on", "Creme"}, {"50ml", "150ml"}},
        {8,
         1,
         "Salgadinho",
         {"Queijo", "Cebola", "Churrasco", "Presunto"},
         {"45g", "100g", "300g"}},
        {8,
         2,
         "Refresco em Pó",
         {"Laranja", "Uva", "Morango", "Limão", "Maracujá"},
         {"25g", "1kg"}},
        {8, 3, "Vela de Aniversário", {"Número", "Colorida", "Estrela"}, {"1un", "24un"}},
        {8, 4, "Balão", {"Liso", "Metalizado", "Estampado"}, {"25un", "50un"}},
        {8, 5, "Copo Descartável", {"Transparente", "Colorido", "Térmico"}, {"200ml", "300ml"}},
        {9, 1, "Banana", {"Prata", "Nanica", "Maçã", "da Terra"}, {"1kg", "Cacho"}},
        {9, 2, "Tomate", {"Italiano", "Cereja", "Débora", "Orgânico"}, {"500g", "1kg"}},
        {9, 3, "Batata", {"Inglesa", "Doce", "Baroa", "Bolinha"}, {"1kg", "2kg"}},
    };
    return all;
}

const std::vector<DemoGroup>& groupTable() {
    static const std::vector<DemoGroup> all = {
        {"Café da Manhã",
         {"Café em Pó", "Pão de Forma"},
         {"Leite", "Manteiga", "Açúcar", "Iogurte", "Bolo"}},
        {"Churrasco",
         {"Carne Bovina", "Linguiça"},
         {"Carvão Vegetal", "Cerveja", "Refrigerante", "Farinha"}},
        {"Limpeza da Casa",
         {"Detergente", "Sabão em Pó"},
         {"Esponja", "Desinfetante", "Água Sanitária", "Saco de Lixo"}},
        {"Festa Infantil",
         {"Refrigerante", "Bolo"},
         {"Salgadinho", "Vela de Aniversário", "Balão", "Copo Descartável"}},
        {"Higiene Pessoal",
         {"Sabonete", "Creme Dental"},
         {"Xampu", "Papel Higiênico", "Desodorante"}},
    };
    return all;
}

std::string padded(int value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

wire::ChangeLog emptyLog(std::initializer_list<wire::Column> columns) {
    wire::ChangeLog log;
    log.fields = wire::fieldDefs({columns.begin(), columns.size()});
    return log;
}

using Codes = std::map<std::string, std::vector<std::string>>;  // family -> product codes

// The product codes of a family the groups name; none is a slip in the tables.
wire::Result<const std::vector<std::string>*> familyCodes(const Codes& byFamily,
                                                          const DemoGroup& group,
                                                          const char* family) {
    auto found = byFamily.find(family);
    if (found == byFamily.end() || found->second.empty()) {
        return wire::Status(wire::ErrorCode::Internal,
                            std::string("Catálogo de demonstração: a família \"") + family +
                                "\" do grupo \"" + group.name + "\" não tem produtos.");
    }
    return &found->second;
}

void add(wire::ChangeLog& log, std::vector<wire::Value> values) {
    log.changes.push_back({wire::ChangeKind::Insert, {}, std::move(values)});
}

}  // namespace

wire::Result<DemoCatalogue> DemoCatalogue::build() { return build(groupTable()); }

wire::Result<DemoCatalogue> DemoCatalogue::build(std::span<const DemoGroup> groups) {
    using namespace wire::column;
    DemoCatalogue demo;
    demo.products = emptyLog({CDPRODUTO, CDARVPROD, NMPRODUTO});
    demo.groups = emptyLog({CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM});
    demo.mainProducts = emptyLog({CDGRUSUGESPROD, CDPRODUTO, IDQUANTPRODPRINC, IDTOTALPRODPRINC});
    demo.relatedProducts =
        emptyLog({CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD});

    Codes byFamily;
    std::map<int, int> familiesInSection;  // department*100+section -> count
    int nextCode = 1;
    for (const Family& f : families()) {
        int family = ++familiesInSection[f.department * 100 + f.section];
        std::string prefix = std::to_string(f.department) + "." + padded(f.section, 2) + "." +
                             padded(family, 3) + ".";
        std::size_t combos = f.kinds.size() * f.sizes.size() * kBrandCount;
        int item = 0;
        for (std::size_t i = 0; i < combos && static_cast<std::size_t>(item) < kPerFamily; ++i) {
            // Kinds vary fastest, so the first products of a family differ in what they are.
            const char* kind = f.kinds[i % f.kinds.size()];
            const char* size = f.sizes[(i / f.kinds.size()) % f.sizes.size()];
            const char* brand = kBrands[i / (f.kinds.size() * f.sizes.size())];
            std::string name = std::string(f.base) + " " + kind + " " + brand + " " + size;
            if (wire::utf8Length(name) > static_cast<std::size_t>(NMPRODUTO.size)) continue;
            std::string code = padded(nextCode++, CDPRODUTO.size);
            add(demo.products, {code, prefix + padded(++item, 4), name});
            byFamily[f.base].push_back(code);
        }
    }

    int order = 0;
    for (const DemoGroup& g : groups) {
        std::string group = padded(++order, CDGRUSUGESPROD.size);
        add(demo.groups, {group, std::string(g.name), std::to_string(order)});
        for (const char* family : g.mains) {
            auto mains = familyCodes(byFamily, g, family);
            if (!mains) return mains.status();
            const auto& codes = **mains;
            for (std::size_t m = 0; m < 2 && m < codes.size(); ++m) {
                add(demo.mainProducts,
                    {group, codes[m], std::string(m == 0 ? "N" : "S"), std::string("S")});
                int j = 0;
                for (const char* relatedFamily : g.related) {
                    auto relatedCodes = familyCodes(byFamily, g, relatedFamily);
                    if (!relatedCodes) return relatedCodes.status();
                    const std::string& related = (*relatedCodes)->front();
                    if (related == codes[m]) continue;
                    add(demo.relatedProducts, {group, codes[m], related,
                                               std::string(j++ % 2 ? "S" : "N"), std::string("S")});
                }
            }
        }
    }
    return demo;
}

}  // namespace appserver
