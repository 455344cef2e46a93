#pragma once
// Design-time description of one field of a record set.

#include <string>

struct TFieldDef {
    std::string Name;
    int Size = 0;               // characters
    std::string DisplayLabel;   // column title; empty means the name
    int DisplayWidth = 0;       // characters; 0 means Size
    bool Visible = true;
};
