// Which device answers which substitute frame, and the TKB-11 record of each role.
#include "models.h"
#include "substitute_answers.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

using namespace tevronsim;

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kTkb11Search = {'T', 'K', '1', '1', 1, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kKestrelSearch = {'K', 'S', 'T', 'L', 1, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0};

DeviceConfig device(const char* model, Endpoint endpoint) {
    DeviceConfig c;
    c.name = "d";
    c.model = find_model(model);
    c.endpoint = endpoint;
    return c;
}

ManagementSettings settings() {
    ManagementSettings s;
    s.mac = {2, 0, 0, 0, 0, 9};
    return s;
}

TEST(SubstituteAnswers, EachFamilyAnswersOnlyItsOwnLibrary) {
    const std::uint32_t own = inet_addr("10.0.0.9");
    const Endpoint server{Endpoint::Role::Server, "0.0.0.0", 502};
    const struct {
        const char* model;
        bool tkb11, kestrel;
    } cases[] = {{"TKA-35", false, false}, {"TKB-11", true, false}, {"RLX-850", false, true}};
    for (const auto& c : cases) {
        DeviceConfig config = device(c.model, server);
        EXPECT_EQ(tkb11_answer(config, settings(), kTkb11Search, own).has_value(), c.tkb11)
            << c.model;
        EXPECT_EQ(kestrel_answer(config, settings(), kKestrelSearch, own).has_value(), c.kestrel)
            << c.model;
        // Each protocol's frame means nothing to the other.
        EXPECT_FALSE(tkb11_answer(config, settings(), kKestrelSearch, own)) << c.model;
        EXPECT_FALSE(kestrel_answer(config, settings(), kTkb11Search, own)) << c.model;
    }
}

TEST(SubstituteAnswers, Tkb11ReadOfAnotherMacGoesUnanswered) {
    Bytes read = {'T', 'K', '1', '1', 1, 2, 0, 5, 0, 0, 2, 0, 0, 0, 0, 8};
    DeviceConfig config = device("TKB-11", {Endpoint::Role::Server, "0.0.0.0", 502});
    EXPECT_FALSE(tkb11_answer(config, settings(), read, 0));
    read[15] = 9;
    EXPECT_TRUE(tkb11_answer(config, settings(), read, 0));
}

TEST(SubstituteAnswers, Tkb11RecordOfAServerAndOfAClient) {
    const std::uint32_t own = inet_addr("10.0.0.9");
    tkb11_record server = tkb11_device_record(
        device("TKB-11", {Endpoint::Role::Server, "0.0.0.0", 5020}), settings(), own);
    EXPECT_EQ(server.mode, 0);
    EXPECT_EQ(server.client_port, 5020);
    EXPECT_EQ(server.server_port, 0);
    EXPECT_EQ(server.ip_address, own);
    EXPECT_STREQ(server.input_name, "DI0");
    EXPECT_STREQ(server.output_name, "DO0");
    tkb11_record client = tkb11_device_record(
        device("TKB-11", {Endpoint::Role::Client, "10.0.0.1", 6000}), settings(), own);
    EXPECT_EQ(client.mode, 2);
    EXPECT_EQ(client.client_port, 0);
    EXPECT_EQ(client.server_port, 6000);
    EXPECT_EQ(client.server_address, inet_addr("10.0.0.1"));
}

TEST(SubstituteAnswers, LongCommentsAreCutToTheField) {
    ManagementSettings s = settings();
    s.comment = std::string(64, 'c');
    tkb11_record r =
        tkb11_device_record(device("TKB-11", {Endpoint::Role::Server, "0.0.0.0", 1}), s, 0);
    EXPECT_EQ(std::string(r.comment, sizeof r.comment), std::string(32, 'c'));
    EXPECT_EQ(r.input_name[0], 'D');
}

} // namespace
