#pragma once
// A user name and password for signing in to the application server, held in memory only. The
// password is overwritten whenever it goes: replaced, moved from or destroyed. Move-only, so no
// stray copy of it is ever made by accident.

#include <string>
#include <string_view>

class TCredentials {
  public:
    TCredentials() = default;
    TCredentials(std::string user, std::string password);
    TCredentials(TCredentials&& other) noexcept;
    TCredentials& operator=(TCredentials&& other) noexcept;
    TCredentials(const TCredentials&) = delete;
    TCredentials& operator=(const TCredentials&) = delete;
    ~TCredentials();

    const std::string& User() const { return m_user; }
    const std::string& Password() const { return m_password; }
    bool Empty() const { return m_user.empty() && m_password.empty(); }

    // The value of an "Authorization: Basic ..." header; the caller wipes it (Wipe) when done.
    std::string BasicAuthorization() const;

    // Overwrites every character text holds (its whole capacity), then empties it.
    static void Wipe(std::string& text) noexcept;

  private:
    std::string m_user;
    std::string m_password;
};
