#include "controls/ControlServices.h"

#include <cstdio>
#include <exception>

namespace {
void ReportToStderr(std::exception_ptr error) noexcept {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vlp: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "vlp: erro inesperado\n");
    }
}
}  // namespace

TControlServices& ControlServices() {
    static TControlServices services{ReportToStderr, [] { return false; }};
    return services;
}
