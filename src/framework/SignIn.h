#pragma once
// Signing in to the application server from any module's connection: InstallSignIn makes every
// TNetConnection ask the user through Dialogs().SignIn when the server refuses who calls. The
// host calls it at start. UI thread only.

#include <optional>

#include "dataaccess/TSignInRequest.h"

void InstallSignIn();

// What the installed hook does: offers the name signed in with last in this session when the
// connection has none, and takes the busy animation and the wait cursor down while the user
// answers (the call is waiting for the user, not for the server), putting them back after.
std::optional<TCredentials> AskSignIn(const TSignInRequest& request);
