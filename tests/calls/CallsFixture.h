#pragma once
// The screen's calls against the fake app server: a connected TNetConnection, the scripted
// dialogs, and a groups record set to load and save.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "Packets.h"
#include "calls/Fetch.h"
#include "dataaccess/TClientDataSet.h"
#include "framework/BusyAnimation.h"
#include "support/Support.h"
#include "support/TScriptedDialogs.h"
#include "wire/RemoteModule.h"

// A record set's fields as the description gives them.
inline std::vector<TFieldDef> FieldsOf(std::span<const wire::Column> columns) {
    std::vector<TFieldDef> fields;
    for (const wire::Column& c : columns)
        fields.push_back({std::string(c.name), c.size, "", 0, true});
    return fields;
}

// The server's message reached the user in exactly one dialog.
inline bool ShownOnce(const TScriptedDialogs& dialogs, const std::string& text) {
    return dialogs.Log.size() == 1 && dialogs.Last().ends_with(": " + text);
}

// What the animation looked like while the server answered: "kind caption" or "none".
struct AviSeen {
    std::string text;
    FakeReply Record(FakeReply reply) {
        text = AviShowing() ? std::to_string(AviKind()) + " " + AviCaption() : "none";
        return reply;
    }
};

class ServerCalls : public ::testing::Test {
  protected:
    ServerCalls()
        : net(fake.transport()), groups("cdsGrupSegProd", FieldsOf(wire::fields::kGroups)) {
        net.ServerName = FakeAppServer::kModule;
        net.ThrowException = false;
        net.Port = 8427;  // any valid port: the fake transport opens no socket
        net.SetConnected(true);
    }

    void ScriptGroups(const std::string& packet) {
        fake.on("GetGrupSegProd").answerWith([this, packet](const FakeCall&) {
            return seen.Record(FakeReply::packet(packet));
        });
    }

    calls::TFetchOptions Reading(std::string key = "") {
        calls::TFetchOptions o;
        o.AviKind = aviReading;
        o.Caption = "Verificando...";
        o.KeyField = std::move(key);
        return o;
    }

    // One group read, then one inserted and posted: a change log of one insert, no call logged.
    void LoadAndInsertOne() {
        fake.on("GetGrupSegProd").answerPacket(GroupsPacket(1));
        calls::Fetch(net, wire::method::GetGrupSegProd, {}, groups, {});
        groups.Append();
        groups.FieldByName("CDGRUSUGESPROD").SetAsString("0000000009");
        groups.FieldByName("NMGRUSUGESPROD").SetAsString("Lanches");
        groups.Post();
        fake.clearCalls();
    }

    FakeAppServer fake;
    TScriptedDialogs dialogs;
    TNetConnection net;
    TClientDataSet groups;
    AviSeen seen;
};
