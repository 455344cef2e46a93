#pragma once
// Another user's screen on its own connection to the same application server: it reads the
// groups fresh before every change and saves that one change as the screen does (the change log
// of its own record set through SetGrupSegProd). Each change answers "ok" or the server's message.

#include <map>
#include <string>
#include <vector>

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TNetConnection.h"

class OtherUserE2E {
  public:
    explicit OtherUserE2E(int port);
    OtherUserE2E(const OtherUserE2E&) = delete;
    OtherUserE2E& operator=(const OtherUserE2E&) = delete;

    std::string InsertGroup(const std::string& code, const std::string& name,
                            const std::string& order);
    std::string RenameGroup(const std::string& code, const std::string& name);
    std::string DeleteGroup(const std::string& code);
    // Products, read fresh and saved one change at a time with the operation code, as the
    // screen saves them (SetArvProd, SetProdRelac); the new rows with flags "N" and "S".
    std::string InsertMainProduct(const std::string& group, const std::string& product);
    std::string DeleteMainProduct(const std::string& group, const std::string& product);
    std::string RelateProduct(const std::string& group, const std::string& main,
                              const std::string& related);

    // A fresh read of a list into a record set of the screen's definition, as sorted
    // "a|b|-" lines (null as "-"); "error: message" when the read fails.
    std::string Rows(const char* method, const std::vector<std::string>& args,
                     const char* recordSet);
    std::string Groups() { return Rows("GetGrupSegProd", {}, "cdsGrupSegProd"); }
    // Everything the server holds, read fresh: "grupos", "principais <group>" and
    // "relacionados <group> <main product>", each as Rows gives it.
    std::map<std::string, std::string> Everything();
    // One field of a fresh read, in the server's order; empty when the read fails.
    std::vector<std::string> Values(const char* method, const std::vector<std::string>& args,
                                    const char* recordSet, const char* field);

  private:
    bool ReadGroups();
    std::string Save();
    TServerAnswer Read(const char* method, const std::vector<std::string>& args,
                       TClientDataSet& into);
    std::string SaveProducts(const char* method, const char* operation, TClientDataSet& rows);

    TNetConnection m_net;
    TClientDataSet m_groups;
};

// The rows of a record set as sorted lines: what it holds, whatever order it shows them in.
std::string SortedRows(const TClientDataSet& dataSet);
