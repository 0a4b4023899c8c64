// Failures on demand for calls Corvel makes into the C library and the allocator. The test
// executable defines these entry points itself, so the dynamic linker binds the library's
// calls to them; unarmed, they pass through to the real ones.
#pragma once

namespace corvel_test {

// The next `count` accept calls fail with `error`.
void fail_next_accepts(int count, int error);

// The next `count` attempts to turn on SO_KEEPALIVE fail with `error`.
void fail_next_keepalives(int count, int error);

// While alive, the allocation numbered `nth` (1 = the next) made on this thread fails with
// std::bad_alloc. failed() tells whether it was reached.
class AllocationFailure {
  public:
    explicit AllocationFailure(int nth);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
    bool failed() const;
};

// Names under ".test" are answered here without any name server: "missing.test" fails with
// EAI_NONAME, any other resolves to 127.0.0.1. While a LookupGate is alive their lookups wait
// until it opens (at most ten seconds), so a test holds a lookup as long as it needs.
class LookupGate {
  public:
    LookupGate();
    ~LookupGate(); // opens
    LookupGate(const LookupGate&) = delete;
    LookupGate& operator=(const LookupGate&) = delete;
    void open();
    // Waits until `count` lookups have reached the gate (held or let through).
    bool reached(int count, int timeout_ms = 3000) const;
    // Waits until `count` lookups have passed it and returned their answer.
    bool answered(int count, int timeout_ms = 3000) const;
};

} // namespace corvel_test
