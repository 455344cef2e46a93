#pragma once
// Shared test fakes: the scriptable application server, usable as a transport or over loopback
// HTTP (see FakeAppServer.h).

#include "FakeAppServer.h"
#include "FakeCall.h"
#include "FakeMethod.h"
