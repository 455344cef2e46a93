#pragma once
// The screen unit's published names: the opening procedure and the three module variables,
// qualified by the unit (namespace Cli_vlp27000) and exported from the module.
// frmSugestaoProd refers to the screen only while boIdCriado is true; stInsert holds the
// pending operation code of product saves ("I", "E" or "").

#include <string>

#define VLP27000_UNIT_EXPORT __attribute__((visibility("default")))

class TfrmSugestaoProd;

namespace Cli_vlp27000 {

VLP27000_UNIT_EXPORT extern TfrmSugestaoProd* frmSugestaoProd;
VLP27000_UNIT_EXPORT extern bool boIdCriado;
VLP27000_UNIT_EXPORT extern std::string stInsert;

// Opens the screen, or brings the open one to the front in normal window state. An error while
// creating travels on and leaves boIdCriado false.
VLP27000_UNIT_EXPORT void CriaSugestaoProd();

// Unit start-up (boIdCriado false, stInsert empty) and shut-down (stInsert empty); the module's
// unit table counts the calls.
void Initialization();
void Finalization();

}  // namespace Cli_vlp27000
