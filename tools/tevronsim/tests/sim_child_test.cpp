// What a test or benchmark reads of the simulator process itself.

#include "sim_child.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(SimChildProcess, ProcessorTimeIsReadAndNeverExceedsTheTimeItRan) {
    const auto started = std::chrono::steady_clock::now();
    simtest::SimChild sim("[d0]\nmodel = TKA-31\nlisten = 127.0.0.1:0\n");
    const double first = sim.cpu_seconds();
    for (int i = 0; i < 200; ++i)
        sim.command("show d0");
    const double second = sim.cpu_seconds();
    const double ran =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // A parse that took the wrong fields would give start times or page counts here.
    EXPECT_GE(first, 0.0);
    EXPECT_GE(second, first);
    EXPECT_LE(second, ran + 0.02);
}

} // namespace
