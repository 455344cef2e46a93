#pragma once
// Shared test fakes live beside this header (tests/support/).
