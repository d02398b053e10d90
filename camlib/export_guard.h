// What every export of both libraries shares: the refusal of a null argument, and the
// guard that turns every exception into a status, since none may cross the C boundary.
#pragma once

#include "camlib/last_error.h"

#include <exception>
#include <new>
#include <string>

namespace camlib {

inline PvxStatus NullArgument(const char* name) {
    return Fail(PVX_ERR_INVALID_PARAMETER, std::string(name) + " is null");
}

template <typename Body> PvxStatus Guarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(PVX_ERR_NO_MEMORY, "out of memory");
    } catch (const std::exception& error) {
        return Fail(PVX_ERR_UNSUCCESSFUL, error.what());
    }
}

} // namespace camlib
