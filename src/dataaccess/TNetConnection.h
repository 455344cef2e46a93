#pragma once
// The connection to the application server. Setting Connected true runs BeforeConnect, opens the
// transport to Host:Port and checks that the server hosts ServerName; false closes it. AppServer
// is the remote module: Call runs a method by name with positional arguments and returns the
// answer; the values the server leaves in in/out arguments are written back into the caller's
// variables. Transport failures throw EDatabaseError naming host, port and what happened; a
// dropped connection is reopened by the next call. With ThrowException true a server error
// answer also throws; with false it comes back in the answer for CheckResultServ.
//
// While a call waits for its answer, the WaitPump (set by the GUI framework) runs repeatedly on
// the calling thread so windows keep painting: a quick answer is awaited on the calling thread
// without pumping; after a few milliseconds the I/O moves to a helper thread and the pump turns.
//
// Credentials, once set, go with every call. When the server refuses who calls (HTTP 401,
// JSON-RPC -32005: it ran nothing), the sign-in hook (set by the GUI framework) is asked on the
// calling thread with the server's reason; credentials it gives send the same call again on a new
// connection, as often as the user keeps trying. Without a hook, or when the user cancels, the
// refusal is the call's answer like any other server error.
//
// One thread owns a connection (in the host, the UI thread): properties, Connected and Call are
// used from it alone, and the hooks and events run on it. Only the I/O of a waiting call runs on
// the helper thread, which never touches the connection's state.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/RpcTransport.h"
#include "dataaccess/TCredentials.h"
#include "dataaccess/TSignInRequest.h"
#include "wire/DefaultAddress.h"

class TNetConnection;

// One positional argument of a call. InOut refers to the caller's variable, which must outlive
// the call.
class TRemoteArg {
  public:
    static TRemoteArg Text(std::string value);
    static TRemoteArg InOut(std::string& variable);
    static TRemoteArg Packet(std::string json);

    enum class Kind { Text, InOut, Packet };
    Kind kind() const { return m_kind; }
    const std::string& value() const { return m_kind == Kind::InOut ? *m_variable : m_value; }
    std::string* variable() const { return m_variable; }

  private:
    Kind m_kind = Kind::Text;
    std::string m_value;
    std::string* m_variable = nullptr;
};

// The answer of one call: success with a payload packet (JSON text, empty when none), or the
// server's error.
struct TServerAnswer {
    bool Ok = true;
    int ErrorCode = 0;
    std::string ErrorMessage;
    std::string Payload;
};

class TAppServer {
  public:
    explicit TAppServer(TNetConnection& connection) : m_connection(connection) {}
    TServerAnswer Call(std::string_view method, std::vector<TRemoteArg> args);

  private:
    TNetConnection& m_connection;
};

class TNetConnection {
  public:
    explicit TNetConnection(std::unique_ptr<RpcTransport> transport = nullptr);  // null: HTTP
    ~TNetConnection();
    TNetConnection(const TNetConnection&) = delete;
    TNetConnection& operator=(const TNetConnection&) = delete;

    std::string ServerName;
    std::string Host{wire::kDefaultHost};
    int Port = 0;
    bool ThrowException = true;
    // TLS for the connections opened from now on; CaFile names a PEM file of the authorities to
    // trust instead of the system's. They start as SetTlsDefaults says.
    bool Tls = false;
    std::string CaFile;
    std::function<void(TNetConnection&)> BeforeConnect;

    bool Connected() const;
    void SetConnected(bool connected);
    TAppServer& AppServer();  // throws EDatabaseError when not connected

    // Kept in memory only and never written anywhere; the password is wiped when replaced or when
    // the connection goes. Empty credentials send none.
    void SetCredentials(TCredentials credentials);
    const std::string& UserName() const;

    // Runs while a call waits (see above); empty means the call simply blocks.
    static void SetWaitPump(std::function<void()> pump);
    // How many connections are inside a call or a connect right now. Code reached from the wait
    // pump uses it to put off what must not happen under a running call (freeing its caller).
    static int CallsWaiting();
    // What new connections take for Tls and CaFile; the host sets them from its configuration.
    static void SetTlsDefaults(bool tls, std::string caFile);
    // Asked when the server refuses who calls (see above); empty means nobody is asked.
    static void SetSignInHook(TSignInHook hook);

    // Used by TAppServer.
    TServerAnswer Invoke(std::string_view method, std::vector<TRemoteArg>& args);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    TAppServer m_appServer{*this};
};
