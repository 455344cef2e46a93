#pragma once
// Another user's screen on its own connection to the same application server: it reads the
// groups fresh before every change and saves that one change as the screen does (the change log
// of its own record set through SetGrupSegProd). Each change answers "ok" or the server's message.

#include <string>
#include <vector>

#include "TClientDataSet.h"
#include "TNetConnection.h"

class OtherUserE2E {
  public:
    explicit OtherUserE2E(int port);
    OtherUserE2E(const OtherUserE2E&) = delete;
    OtherUserE2E& operator=(const OtherUserE2E&) = delete;

    std::string InsertGroup(const std::string& code, const std::string& name,
                            const std::string& order);
    std::string RenameGroup(const std::string& code, const std::string& name);
    std::string DeleteGroup(const std::string& code);

    // A fresh read of a list into a record set of the screen's definition, as sorted
    // "a|b|-" lines (null as "-"); "error: message" when the read fails.
    std::string Rows(const char* method, const std::vector<std::string>& args,
                     const char* recordSet);
    std::string Groups() { return Rows("GetGrupSegProd", {}, "cdsGrupSegProd"); }

  private:
    bool ReadGroups();
    std::string Save();

    TNetConnection m_net;
    TClientDataSet m_groups;
};

// The rows of a record set as sorted lines: what it holds, whatever order it shows them in.
std::string SortedRows(const TClientDataSet& dataSet);
