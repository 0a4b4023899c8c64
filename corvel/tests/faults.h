// Failures on demand for calls Corvel makes into the C library. The test
// executable defines these entry points itself, so the dynamic linker binds the library's
// calls to them; unarmed, they pass through to the real ones.
#pragma once

namespace corvel_test {

// The next `count` accept calls fail with `error`.
void fail_next_accepts(int count, int error);

// The next `count` attempts to turn on SO_KEEPALIVE fail with `error`.
void fail_next_keepalives(int count, int error);

} // namespace corvel_test
