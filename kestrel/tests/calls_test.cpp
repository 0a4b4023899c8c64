// The calls before any search has found something: every index is a bad one.
#include "kestrel/kestrel.h"

#include <gtest/gtest.h>

namespace {

TEST(KestrelCalls, BadIndexAnswersEmpty) {
    char16_t product[KESTREL_TEXT_SIZE], information[KESTREL_TEXT_SIZE];
    for (int index : {-1, 0, 5}) {
        EXPECT_EQ(GetDeviceInfo(index, product, information), 0);
        EXPECT_EQ(ReadEnv(index), 0);
        EXPECT_EQ(GetUnitId(index), -1);
        EXPECT_EQ(GetCommunicationMode(index), -1);
        EXPECT_EQ(GetCorvelPortNumber(index), -1);
        EXPECT_EQ(std::u16string(GetHostAddress(index)), u"");
        EXPECT_EQ(std::u16string(GetComment(index)), u"");
        EXPECT_EQ(GetEUI(index), nullptr);
    }
}

} // namespace
