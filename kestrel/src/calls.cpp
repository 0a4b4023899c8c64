// The exported calls over the process-wide result of the last search.
#include "kestrel/kestrel.h"

#include "exchange.h"
#include "found_device.h"
#include "wire.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace kestrel {

namespace {

constexpr int kDefaultSearchMs = 1500;
constexpr int kSettingsTries = 3;
constexpr int kSettingsWaitMs = 400;

std::mutex g_lock;
std::vector<FoundDevice> g_found; // guarded by g_lock
std::atomic<int> g_search_ms{kDefaultSearchMs};
std::atomic<uint16_t> g_sequence{1};

bool already_listed(const std::vector<FoundDevice>& list, const Eui& eui) {
    return std::any_of(list.begin(), list.end(),
                       [&](const FoundDevice& d) { return d.found.eui == eui; });
}

std::vector<FoundDevice> search_network(uint16_t language) {
    std::vector<FoundDevice> list;
    discovery::Exchange exchange;
    if (exchange.open_broadcast(0) != 0) return list;
    Request request{kOpSearch, g_sequence++, language, {}};
    if (exchange.send(0, KESTREL_PORT, encode_request(request)) != 0) return list;
    exchange.receive(g_search_ms, [&](const uint8_t* data, size_t length, uint32_t) {
        auto answer = decode_search_answer(data, length, request.sequence);
        if (answer && !already_listed(list, answer->eui)) list.push_back({*answer, {}, {}});
        return list.size() == KESTREL_MAX_DEVICES;
    });
    return list;
}

std::optional<SettingsAnswer> read_settings(const SearchAnswer& found) {
    discovery::Exchange exchange;
    if (exchange.open_unicast(0) != 0) return std::nullopt;
    Request request{kOpSettings, g_sequence++, 0, found.eui};
    std::optional<SettingsAnswer> settings;
    for (int attempt = 0; attempt < kSettingsTries && !settings; ++attempt) {
        if (exchange.send(found.device_address, KESTREL_PORT, encode_request(request)) != 0)
            return std::nullopt;
        exchange.receive(kSettingsWaitMs, [&](const uint8_t* data, size_t length, uint32_t) {
            auto answer = decode_settings_answer(data, length, request.sequence);
            if (answer && answer->eui == found.eui) settings = answer;
            return settings.has_value();
        });
    }
    return settings;
}

// The entry at index, or null; the caller holds g_lock.
FoundDevice* entry(int index) {
    if (index < 0 || size_t(index) >= g_found.size()) return nullptr;
    return &g_found[size_t(index)];
}

int setting(int index, int (*field)(const SettingsAnswer&)) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    return device && device->settings ? field(*device->settings) : -1;
}

} // namespace

} // namespace kestrel

using namespace kestrel;

extern "C" {

KESTREL_API int Search(uint16_t language_id, const char16_t* /*caption*/) {
    std::lock_guard lock(g_lock);
    g_found = search_network(language_id);
    return int(g_found.size());
}

KESTREL_API int GetDeviceInfo(int index, char16_t* product, char16_t* information) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    if (!device || !product || !information) return 0;
    copy_text(device->found.model, product, KESTREL_TEXT_SIZE);
    copy_text(information_text(device->found), information, KESTREL_TEXT_SIZE);
    return 1;
}

KESTREL_API int ReadEnv(int index) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    if (!device) return 0;
    auto settings = read_settings(device->found);
    if (!settings) return 0;
    device->settings = settings;
    device->host_text = dotted(settings->host_address);
    return 1;
}

KESTREL_API int GetUnitId(int index) {
    return setting(index, [](const SettingsAnswer& s) { return int(s.unit_id); });
}

KESTREL_API int GetCommunicationMode(int index) {
    return setting(index, [](const SettingsAnswer& s) { return int(s.mode); });
}

KESTREL_API int GetCorvelPortNumber(int index) {
    return setting(index, [](const SettingsAnswer& s) { return int(s.port); });
}

KESTREL_API const char16_t* GetHostAddress(int index) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    return device ? device->host_text.c_str() : u"";
}

KESTREL_API const char16_t* GetComment(int index) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    if (!device) return u"";
    return device->settings ? device->settings->comment.c_str() : device->found.comment.c_str();
}

KESTREL_API const uint8_t* GetEUI(int index) {
    std::lock_guard lock(g_lock);
    FoundDevice* device = entry(index);
    return device ? device->found.eui.data() : nullptr;
}

KESTREL_API void Kestrel_SetSearchTimeout(int ms) {
    g_search_ms = ms > 0 ? ms : kDefaultSearchMs;
}

} // extern "C"
