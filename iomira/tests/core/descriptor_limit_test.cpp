#include "core/descriptor_limit.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace iomira {
namespace {

TEST(DescriptorLimit, ASoftLimitBelowTheHardOneIsRaisedToIt) {
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    if (original.rlim_max < 512) GTEST_SKIP() << "hard limit too low to lower the soft one";
    rlimit lowered = original;
    lowered.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);

    const long now = raiseDescriptorLimit();
    rlimit after{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_EQ(after.rlim_cur, original.rlim_max);
    if (after.rlim_cur != RLIM_INFINITY) {
        EXPECT_EQ(now, static_cast<long>(after.rlim_cur));
    }
    EXPECT_EQ(raiseDescriptorLimit(), now); // already at the top: nothing changes
    setrlimit(RLIMIT_NOFILE, &original);
}

} // namespace
} // namespace iomira
