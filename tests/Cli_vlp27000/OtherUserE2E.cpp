#include "OtherUserE2E.h"

#include <algorithm>

#include "FakeAppServer.h"
#include "RecordSetDefs.h"

OtherUserE2E::OtherUserE2E(int port)
    : m_groups("cdsGrupSegProd", model::RecordSetDef("cdsGrupSegProd").Fields) {
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

std::string OtherUserE2E::Rows(const char* method, const std::vector<std::string>& args,
                               const char* recordSet) {
    std::vector<TRemoteArg> remote;
    for (const std::string& a : args) remote.push_back(TRemoteArg::Text(a));
    TServerAnswer answer = m_net.AppServer().Call(method, std::move(remote));
    if (!answer.Ok) return "error: " + answer.ErrorMessage;
    TClientDataSet fresh(recordSet, model::RecordSetDef(recordSet).Fields);
    fresh.SetData(answer.Payload);
    return SortedRows(fresh);
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
