#pragma once
// The application server's storage: the reads and writes behind the remote module's methods,
// the same behaviour over SQLite and PostgreSQL. Reads stream their rows into a sink (usually the
// answer's PacketWriter) under the field names and sizes the screen's record sets expect; writes
// apply a whole change log in one transaction, or nothing. Errors are values: Refused with the
// screen's own wording where one fits, Conflict when original values no longer match, BadPacket
// for a change log of the wrong shape, Unavailable when the database cannot be reached.
//
// A Store holds one database connection and is used by one thread at a time; a server opens one
// per worker thread through StoreFactory.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "store/ActionPlan.h"
#include "store/ImportStep.h"
#include "wire/ChangeLog.h"
#include "wire/PacketSink.h"
#include "wire/Status.h"

namespace appserver {

// Who made a change and through which call: written to the history beside every entry applied.
// The views need only stay valid during the call that takes them.
struct ChangeOrigin {
    std::string_view user;       // the signed-in user, or "local" on a server without sign-in
    std::string_view method;     // "SetGrupSegProd", "SetArvProd" or "SetProdRelac"
    std::string_view operation;  // the call's "I", "E" or "D"; empty for groups
};

// The origins of the saves the actions make, as the history names them.
inline constexpr std::string_view kReplaceOrigin = "substituição";
inline constexpr std::string_view kUndoOrigin = "desfazer";
inline constexpr std::string_view kCopyOrigin = "cópia";

// What sign-in needs of a user.
struct StoredUser {
    std::string passwordHash;  // "$argon2id$...", see auth/PasswordHash.h
    bool enabled = false;
};

// Which history rows to read; an empty member does not narrow.
struct HistoryFilter {
    std::string since;  // "YYYY-MM-DDTHH:MM:SS.mmmZ": rows at or after it
    std::string user;
    std::string group;  // CDGRUSUGESPROD of the row
};

// One page of a group's history, newest first; empty members do not narrow.
struct HistoryPageQuery {
    std::string_view group;        // CDGRUSUGESPROD
    std::string_view mainProduct;  // CDPRODUTO of the list's main product
    std::string_view before;       // only rows with a smaller history number
};

// The new group of a copy.
struct GroupCopy {
    std::string_view source, code, name, order;
};

class Store {
  public:
    virtual ~Store() = default;

    // Groups (fields::kGroups of wire/RemoteModule.h, as every answer's fields below), ordered by
    // order then code, both as numbers would be ("9" before "10"; "02" and "2" equal, then by
    // text).
    virtual wire::Status groups(wire::PacketSink& out) = 0;  // GetGrupSegProd
    // CDGRUSUGESPROD NMGRUSUGESPROD of the group with exactly that code.
    virtual wire::Status groupsByCode(std::string_view code,
                                      wire::PacketSink& out) = 0;  // GetVerifGrupo
    // CDGRUSUGESPROD NMGRUSUGESPROD of the group with that name, compared without regard to
    // surrounding blanks or to the case of ASCII and Latin-1 letters ("SUGESTÃO" finds
    // "Sugestão"), so a group being renamed finds itself.
    virtual wire::Status groupsByName(std::string_view name,
                                      wire::PacketSink& out) = 0;  // GetNmGrupo
    // CDGRUSUGESPROD NMGRUSUGESPROD NRORDEM of the group with exactly that order.
    virtual wire::Status groupsByOrder(std::string_view order,
                                       wire::PacketSink& out) = 0;  // GetVerifOrd

    // Main products of a group: CDARVPROD CDPRODUTO NMPRODUTO CDGRUSUGESPROD IDQUANTPRODPRINC
    // IDTOTALPRODPRINC, ordered by tree code.
    virtual wire::Status mainProducts(std::string_view group,
                                      wire::PacketSink& out) = 0;  // GetArvProd
    // Every product: CDPRODUTO CDARVPROD NMPRODUTO, ordered by tree code.
    virtual wire::Status allProducts(wire::PacketSink& out) = 0;  // GetPesqProdPrinc
    // The product with that tree code: CDPRODUTO CDARVPROD NMPRODUTO. treeCode is trimmed and
    // matched exactly, else by its digits alone ("1010010001" finds "1.01.001.0001"); on a match
    // it becomes the stored code. Either way the caller gets the normalised value back.
    virtual wire::Status productByTreeCode(std::string& treeCode,
                                           wire::PacketSink& out) = 0;  // GetVerifProduto
    // CDARVPROD NMPRODUTO CDPRODUTO CDGRUSUGESPROD of the group's main-product row for the product
    // with that tree code (normalised as above); no row: not yet a main product of the group.
    virtual wire::Status mainProductRows(std::string_view group, std::string& treeCode,
                                         wire::PacketSink& out) = 0;  // GetVdProdPrinc
    // CDPRODUTO NMPRODUTO of the related product with that tree code (normalised as above) under
    // (group, main product); no row: not yet related.
    virtual wire::Status relatedRows(std::string_view group, std::string_view mainProduct,
                                     std::string& treeCode,
                                     wire::PacketSink& out) = 0;  // GetVdProduto
    // Candidates to relate to a main product: every product but the main product itself,
    // CDPRODUTO CDARVPROD NMPRODUTO ordered by tree code. The group does not narrow the list.
    virtual wire::Status candidates(std::string_view mainProduct, std::string_view group,
                                    wire::PacketSink& out) = 0;  // GetPesqProd
    // Related products of (group, main product), ordered by tree code: CDGRUSUGESPROD CDPRODUTO
    // CDPRODUTORELAC CDARVPRODRELAC NMPRODUTORELAC IDQUANTPROD IDTOTALPROD.
    virtual wire::Status relatedProducts(std::string_view group, std::string_view mainProduct,
                                         wire::PacketSink& out) = 0;  // GetProdRelac

    // Writes: the change log's entries decide what is inserted, changed or deleted, in their
    // order, all in one transaction or nothing. Modifications and deletions match the row by all
    // its original values (Conflict when none matches). Groups: code, name (case-blind) and order
    // unique; a group with main products cannot be deleted; a new code is carried to its
    // products. Main products, key (CDGRUSUGESPROD, CDPRODUTO), and related products, key
    // (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC): only the two flags (null, "S", "N") change;
    // deleting a main product deletes its related products. Every entry applied adds one
    // history row naming origin, in the same transaction: a refused log leaves no history either.
    virtual wire::Status applyGroups(const wire::ChangeLog& log,
                                     const ChangeOrigin& origin) = 0;  // SetGrupSegProd
    virtual wire::Status applyMainProducts(const wire::ChangeLog& log,
                                           const ChangeOrigin& origin) = 0;  // SetArvProd
    virtual wire::Status applyRelatedProducts(const wire::ChangeLog& log,
                                              const ChangeOrigin& origin) = 0;  // SetProdRelac

    // Every group with its main and related products, for export, as the fields CDGRUSUGESPROD
    // NMGRUSUGESPROD NRORDEM CDARVPROD IDQUANTPRODPRINC IDTOTALPRODPRINC CDARVPRODRELAC
    // IDQUANTPROD IDTOTALPROD: one row per related product; a main product without any has one
    // row with those three null, a group without main products one with the six product fields
    // null. Groups ordered as groups(), products by tree code. group: only that one ("" all).
    virtual wire::Status suggestions(std::string_view /*group*/, wire::PacketSink& /*out*/) {
        return noImport();
    }
    // Applies the steps of an import in their order, all in one transaction or nothing, each
    // through the writer of its table (the checks and constraints of the screen's saves); every
    // entry adds one history row under user, with the method kImportMethod.
    virtual wire::Status applyImport(std::span<const ImportStep> /*steps*/,
                                     std::string_view /*user*/) {
        return noImport();
    }

    // Every list product (a CDPRODUTO) is in, as wire::fields::kWhereUsed, by group order (as
    // groups()) then the main product's tree code. Refused when no product has that code.
    virtual wire::Status whereUsed(std::string_view /*product*/, wire::PacketSink& /*out*/) {
        return noActions();
    }
    // Replaces product from by to in every list (to empty: removes it), keeping the flags: a main
    // product's list moves to to, with its related products. The plan lists every change and
    // every refusal (to already in that list, or to related to itself); apply applies it, when
    // it has no refusal, in one transaction recorded as one save of user (origin kReplaceOrigin).
    // Unknown products, or from equal to to, are refused outright.
    virtual wire::Result<ActionPlan> replaceProduct(std::string_view /*from*/,
                                                    std::string_view /*to*/, bool /*apply*/,
                                                    std::string_view /*user*/) {
        return noActions();
    }
    // At most wire::kHistoryPageRows rows of the history of a group, newest first, as
    // wire::fields::kHistory: entry and save numbers, local time, user, origin and the change in
    // the screen's words.
    virtual wire::Status historyPage(const HistoryPageQuery& /*query*/, wire::PacketSink& /*out*/) {
        return noActions();
    }
    // Reverts every entry of save (a NRGRAVACAO) where its row is still as the save left it; the
    // plan lists each reversal, or each row changed since with who changed it. apply applies a
    // plan without refusals in one transaction recorded as one save of user (kUndoOrigin). A save
    // already undone, or undoing an undo of an undo, is refused, as is an unknown save; of two
    // undoing the same save at once one wins and the other is refused.
    virtual wire::Result<ActionPlan> undoSave(std::string_view /*save*/, bool /*apply*/,
                                              std::string_view /*user*/) {
        return noActions();
    }
    // Copies a group with its main and related products and their flags, checked as a new group
    // row is, in one transaction recorded as one save of user (kCopyOrigin).
    virtual wire::Status copyGroup(const GroupCopy& /*copy*/, std::string_view /*user*/) {
        return noActions();
    }

    // A cheap read that reaches the database (a round trip on PostgreSQL) for the health check:
    // ok, or Unavailable with the reason in the user's words.
    virtual wire::Status ping() = 0;

    // Fills an empty database with the demo catalogue; leaves a database with data untouched.
    virtual wire::Status seedDemo() = 0;

    // Adds one product to the catalogue (loading tools, tests). Refused when the code or the
    // tree code is already taken, or a value is empty or too long (10, 20, 50 characters).
    // Not pure, so stores that hold no catalogue of their own need not provide it.
    virtual wire::Status addProduct(std::string_view /*code*/, std::string_view /*treeCode*/,
                                    std::string_view /*name*/) {
        return {wire::ErrorCode::Internal, "Este armazenamento não aceita cadastro de produtos."};
    }

    // Users who may sign in. Names are 1 to 40 letters (A-Z, a-z), digits, ".", "_" or "-",
    // compared exactly; "local" is reserved for the history of servers without sign-in. Only
    // hashes ("$argon2id$...") are taken: a password never reaches the store. Refused (with the
    // name) when the name is invalid, taken (add) or unknown (the others). Not pure, like
    // addProduct.
    virtual wire::Status addUser(std::string_view /*name*/, std::string_view /*passwordHash*/) {
        return noUsers();
    }
    virtual wire::Status setUserPassword(std::string_view /*name*/,
                                         std::string_view /*passwordHash*/) {
        return noUsers();
    }
    // A disabled user keeps its name and history but may not sign in.
    virtual wire::Status setUserEnabled(std::string_view /*name*/, bool /*enabled*/) {
        return noUsers();
    }
    // The user of that exact name, or nullopt when there is none.
    virtual wire::Result<std::optional<StoredUser>> findUser(std::string_view /*name*/) {
        return noUsers();
    }
    // Whether any user exists, enabled or not: once one does, the server asks who calls (disabling
    // the last user must lock the server, not open it).
    virtual wire::Result<bool> anyUser() { return noUsers(); }

    // The history rows the filter selects, oldest first, as the fields quando, usuario, metodo,
    // operacao, tipo ("insert", "modify", "delete"), grupo, antes, depois, gravacao; antes and
    // depois are JSON objects keyed by field name, null where the entry has no such row;
    // gravacao is the save the entry belongs to.
    virtual wire::Status history(const HistoryFilter& /*filter*/, wire::PacketSink& /*out*/) {
        return {wire::ErrorCode::Internal, "Este armazenamento não guarda histórico."};
    }

  private:
    static wire::Status noActions() {
        return {wire::ErrorCode::Internal, "Este armazenamento não guarda gravações."};
    }
    static wire::Status noImport() {
        return {wire::ErrorCode::Internal, "Este armazenamento não importa nem exporta CSV."};
    }
    static wire::Status noUsers() {
        return {wire::ErrorCode::Internal, "Este armazenamento não aceita cadastro de usuários."};
    }
};

// Opens stores for one database: "sqlite:PATH", "sqlite::memory:" (private to one store), or a
// PostgreSQL URL "postgresql://...". create() makes or upgrades the schema on first use.
class StoreFactory {
  public:
    virtual ~StoreFactory() = default;
    virtual wire::Result<std::unique_ptr<Store>> open() = 0;
};

wire::Result<std::unique_ptr<StoreFactory>> makeStoreFactory(std::string_view url);

}  // namespace appserver
