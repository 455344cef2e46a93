#include "framework/EAbort.h"

EAbort::EAbort() : std::runtime_error("Operação cancelada.") {}
EAbort::EAbort(const std::string& shown) : std::runtime_error(shown) {}
EAbort::~EAbort() = default;
