// No C++ exception may cross the C interface: every exported function runs its body through
// guarded(), which turns an exception into the result -2 with an error code.
#pragma once

#include <cerrno>
#include <cstdint>
#include <new>
#include <system_error>

#include "corvel/corvel.h"

namespace corvel {

// The errno value that stands for the exception being handled; call only inside a catch.
inline int current_exception_code() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (const std::system_error& failure) {
        return failure.code().value();
    } catch (...) {
        return EIO;
    }
}

template <class Body> int32_t guarded(int32_t* error, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        const int code = current_exception_code();
        if (error) *error = code;
        return CORVEL_SOCKET_ERROR;
    }
}

} // namespace corvel
