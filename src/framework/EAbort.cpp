#include "EAbort.h"

EAbort::EAbort() : std::runtime_error("Operação cancelada.") {}
EAbort::~EAbort() = default;
