#include "OtherUserE2E.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "support/FakeAppServer.h"
#include "declarations/RecordSetDefs.h"

OtherUserE2E::OtherUserE2E(int port)
    : m_groups("cdsGrupSegProd", declarations::RecordSetDef("cdsGrupSegProd").Fields) {
    m_net.ServerName = FakeAppServer::kModule;
    m_net.Port = port;
    m_net.ThrowException = false;  // refusals come back as answers
    m_net.SetConnected(true);
}

bool OtherUserE2E::ReadGroups() {
    TServerAnswer answer = m_net.AppServer().Call("GetGrupSegProd", {});
    if (answer.Ok) m_groups.SetData(answer.Payload);
    return answer.Ok;
}

std::string OtherUserE2E::Save() {
    TServerAnswer answer =
        m_net.AppServer().Call("SetGrupSegProd", {TRemoteArg::Packet(m_groups.Delta())});
    if (!answer.Ok) {
        m_groups.CancelUpdates();
        return answer.ErrorMessage;
    }
    m_groups.MergeChangeLog();
    return "ok";
}

std::string OtherUserE2E::InsertGroup(const std::string& code, const std::string& name,
                                      const std::string& order) {
    if (!ReadGroups()) return "the groups could not be read";
    m_groups.Append();
    m_groups.FieldByName("CDGRUSUGESPROD").SetAsString(code);
    m_groups.FieldByName("NMGRUSUGESPROD").SetAsString(name);
    m_groups.FieldByName("NRORDEM").SetAsString(order);
    m_groups.Post();
    return Save();
}

std::string OtherUserE2E::RenameGroup(const std::string& code, const std::string& name) {
    if (!ReadGroups()) return "the groups could not be read";
    if (!m_groups.Locate("CDGRUSUGESPROD", code)) return "no group " + code;
    m_groups.Edit();
    m_groups.FieldByName("NMGRUSUGESPROD").SetAsString(name);
    m_groups.Post();
    return Save();
}

std::string OtherUserE2E::DeleteGroup(const std::string& code) {
    if (!ReadGroups()) return "the groups could not be read";
    if (!m_groups.Locate("CDGRUSUGESPROD", code)) return "no group " + code;
    m_groups.Delete();
    return Save();
}

TServerAnswer OtherUserE2E::Read(const char* method, const std::vector<std::string>& args,
                                 TClientDataSet& into) {
    std::vector<TRemoteArg> remote;
    for (const std::string& a : args) remote.push_back(TRemoteArg::Text(a));
    TServerAnswer answer = m_net.AppServer().Call(method, std::move(remote));
    if (answer.Ok) into.SetData(answer.Payload);
    return answer;
}

std::string OtherUserE2E::Rows(const char* method, const std::vector<std::string>& args,
                               const char* recordSet) {
    TClientDataSet fresh(recordSet, declarations::RecordSetDef(recordSet).Fields);
    TServerAnswer answer = Read(method, args, fresh);
    if (!answer.Ok) return "error: " + answer.ErrorMessage;
    return SortedRows(fresh);
}

std::vector<std::string> OtherUserE2E::Values(const char* method,
                                              const std::vector<std::string>& args,
                                              const char* recordSet, const char* field) {
    TClientDataSet fresh(recordSet, declarations::RecordSetDef(recordSet).Fields);
    std::vector<std::string> values;
    if (!Read(method, args, fresh).Ok) return values;
    const int index = fresh.FieldByName(field).Index();
    for (int row = 0; row < fresh.RecordCount(); ++row)
        values.emplace_back(fresh.ValueAt(row, index).value_or("-"));
    return values;
}

std::map<std::string, std::string> OtherUserE2E::Everything() {
    std::map<std::string, std::string> lists{{"grupos", Groups()}};
    for (const std::string& group :
         Values("GetGrupSegProd", {}, "cdsGrupSegProd", "CDGRUSUGESPROD")) {
        lists["principais " + group] = Rows("GetArvProd", {group}, "cdsArvProd");
        for (const std::string& main : Values("GetArvProd", {group}, "cdsArvProd", "CDPRODUTO"))
            lists["relacionados " + group + " " + main] =
                Rows("GetProdRelac", {group, main}, "cdsProdRelac");
    }
    return lists;
}

std::string OtherUserE2E::SaveProducts(const char* method, const char* operation,
                                       TClientDataSet& rows) {
    TServerAnswer answer = m_net.AppServer().Call(
        method, {TRemoteArg::Text(operation), TRemoteArg::Packet(rows.Delta())});
    return answer.Ok ? "ok" : answer.ErrorMessage;
}

namespace {

void AppendRow(TClientDataSet& rows,
               std::initializer_list<std::pair<const char*, std::string>> values) {
    rows.Append();
    for (const auto& [field, value] : values) rows.FieldByName(field).SetAsString(value);
    rows.Post();
}

}  // namespace

std::string OtherUserE2E::InsertMainProduct(const std::string& group, const std::string& product) {
    TClientDataSet mains("cdsArvProd", declarations::RecordSetDef("cdsArvProd").Fields);
    if (!Read("GetArvProd", {group}, mains).Ok) return "the main products could not be read";
    AppendRow(mains, {{"CDGRUSUGESPROD", group},
                      {"CDPRODUTO", product},
                      {"IDQUANTPRODPRINC", "N"},
                      {"IDTOTALPRODPRINC", "S"}});
    return SaveProducts("SetArvProd", "I", mains);
}

std::string OtherUserE2E::DeleteMainProduct(const std::string& group, const std::string& product) {
    TClientDataSet mains("cdsArvProd", declarations::RecordSetDef("cdsArvProd").Fields);
    if (!Read("GetArvProd", {group}, mains).Ok) return "the main products could not be read";
    if (!mains.Locate("CDPRODUTO", product)) return "no main product " + product;
    mains.Delete();
    return SaveProducts("SetArvProd", "D", mains);
}

std::string OtherUserE2E::RelateProduct(const std::string& group, const std::string& main,
                                        const std::string& related) {
    TClientDataSet rows("cdsProdRelac", declarations::RecordSetDef("cdsProdRelac").Fields);
    if (!Read("GetProdRelac", {group, main}, rows).Ok)
        return "the related products could not be read";
    AppendRow(rows, {{"CDGRUSUGESPROD", group},
                     {"CDPRODUTO", main},
                     {"CDPRODUTORELAC", related},
                     {"IDQUANTPROD", "N"},
                     {"IDTOTALPROD", "S"}});
    return SaveProducts("SetProdRelac", "I", rows);
}

std::string SortedRows(const TClientDataSet& dataSet) {
    std::vector<std::string> lines;
    for (int row = 0; row < dataSet.RecordCount(); ++row) {
        std::string line;
        for (int field = 0; field < dataSet.FieldCount(); ++field) {
            if (field) line += '|';
            auto value = dataSet.ValueAt(row, field);
            line += value ? std::string(*value) : "-";
        }
        lines.push_back(line + '\n');
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line;
    return out;
}
