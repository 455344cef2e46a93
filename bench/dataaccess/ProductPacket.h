#pragma once
// Product packets for the benchmarks: CDPRODUTO (10), CDARVPROD (20) and NMPRODUTO (50), each
// value filling its field, names built from Portuguese words (accents included).

#include <string>
#include <vector>

#include "dataaccess/TFieldDef.h"

std::vector<TFieldDef> productFieldDefs();
std::string productPacket(int rows);
// The CDARVPROD of row `row` in productPacket.
std::string productTreeCode(int row);
