#pragma once
// Shared test fakes: the scriptable application server, usable as a transport or over loopback
// HTTP (see FakeAppServer.h).

#include "support/FakeAppServer.h"
#include "support/FakeCall.h"
#include "support/FakeMethod.h"
