// Reading a device's certificate and writing certificate items to it.
#include "blocks.h"
#include "certificates.h"
#include "device_exchange.h"
#include "frame.h"
#include "library_defaults.h"
#include "library_state.h"
#include "search.h"
#include "tevron_table.h"

#include <cstring>
#include <vector>

namespace nexolt {

namespace {

constexpr uint8_t kCertificateBlock = 11;

// Runs the write of the four items for a device of the table.
int write_items(const void* device, const CertificateItems& items, uint16_t port, int* error) {
    DeviceEntry* entry = tevron_device_entry(device);
    const tevron_info* info = find_tevron(device);
    if (!entry || !info) return fail(error, NEXOLT_ERR_NO_DEVICE);
    const uint8_t* data[4];
    int lengths[4];
    for (size_t i = 0; i < 4; ++i) {
        data[i] = items[i].data();
        lengths[i] = int(items[i].size());
    }
    lib_env record = entry->env;
    return Nexolt_WriteCRYPTO(info->list, &record, data, lengths, error, port, 0,
                              default_maximum());
}

} // namespace

} // namespace nexolt

using namespace nexolt;

extern "C" int Nexolt_ReadCert(int mode, const uint8_t* mac, uint32_t address, int* error,
                               uint16_t port, uint32_t local, int maximum) {
    if ((mode != 0 && mode != 1) || (mode == 0 && !mac)) return fail(error, NEXOLT_ERR_ARGUMENT);
    keep_certificate(nullptr, 0);
    SearchRequest request;
    request.mode = mode;
    request.address = address;
    request.port = port;
    request.local = local;
    request.maximum = size_t(maximum > 0 ? maximum : 1);
    request.read = true;
    request.mac = mac;
    request.command = kCmdReadCert;
    append_block(request.payload, kCertificateBlock, 2, nullptr, 0);
    request.finished = [](const std::vector<ReplyResult>& results) {
        return first_decoded(results) != nullptr;
    };
    std::vector<ReplyResult> found;
    int code = 0;
    if (search_devices(request, found, code) != 1) return fail(error, code);
    const ReplyResult* reply = first_decoded(found);
    if (!reply) return fail(error, NEXOLT_ERR_NO_REPLY);
    if (int mapped = status_error(reply->header.status)) return fail(error, mapped);
    return 1;
}

extern "C" int Nexolt_WriteCRYPTO(int list, lib_env* record, const uint8_t* const items[4],
                                  const int lengths[4], int* error, uint16_t port, uint32_t local,
                                  int maximum) {
    if (!items || !lengths) return fail(error, NEXOLT_ERR_ARGUMENT);
    Operation op;
    op.command = kCmdWriteCrypto;
    // Bit 2 means more pieces follow: set on every piece but the last, never on a whole
    // frame to a device that takes no fragments.
    op.flags = list == 1 ? kFlagUnicast : 0;
    op.wait_ms = 3000;
    op.fragmenting = Fragmenting::WhenCapableEachTwice;
    for (int i = 0; i < 4; ++i) {
        if (lengths[i] < 0 || (lengths[i] > 0 && !items[i]))
            return fail(error, NEXOLT_ERR_ARGUMENT);
        append_block(op.payload, kCertificateBlock, uint8_t(i), items[i], size_t(lengths[i]));
    }
    if (op.payload.size() > NEXOLT_MAX_PAYLOAD) return fail(error, NEXOLT_ERR_ARGUMENT);
    return device_operation({list, record, error, port, local, maximum}, op);
}

extern "C" int Tevron_ReadCert(const void* device, uint16_t port, int* error) {
    const tevron_info* info = find_tevron(device);
    DeviceEntry* entry = tevron_device_entry(device);
    if (!info || !entry) return fail(error, NEXOLT_ERR_NO_DEVICE);
    keep_certificates_text("");
    if (Nexolt_ReadCert(info->list, info->mac, entry->env.device_address, error, port, 0,
                        default_maximum()) != 1)
        return -1;
    std::vector<uint8_t> der(static_cast<size_t>(get_cert_length()));
    if (der.empty()) return fail(error, NEXOLT_ERR_NO_CERTIFICATE);
    get_cert(der.data());
    std::string text;
    if (!certificate_text(der.data(), der.size(), text))
        return fail(error, NEXOLT_ERR_NO_CERTIFICATE);
    keep_certificates_text(text);
    return 1;
}

extern "C" int Tevron_WriteCertificates(const void* device, const char* certificate_file,
                                        const char* pass_phrase, const char* key_file,
                                        const char* key_pass_phrase, uint16_t port, int* error) {
    DeviceEntry* entry = tevron_device_entry(device);
    if (!entry) return fail(error, NEXOLT_ERR_NO_DEVICE);
    CertificateItems items;
    if (int code = certificate_items_from_files(certificate_file, pass_phrase, key_file,
                                                key_pass_phrase, entry->env.product_id, items))
        return fail(error, code);
    return write_items(device, items, port, error);
}

extern "C" int Tevron_WriteSelfSignedCertificates(const void* device, int key_bits,
                                                  const char* country, const char* state,
                                                  const char* locality, const char* organisation,
                                                  const char* unit, const char* common_name,
                                                  const char* email, uint16_t port, int* error) {
    DeviceEntry* entry = tevron_device_entry(device);
    if (!entry) return fail(error, NEXOLT_ERR_NO_DEVICE);
    CertificateItems items;
    SubjectTexts subject{country, state, locality, organisation, unit, common_name, email};
    if (int code = self_signed_certificate_items(key_bits, subject, entry->env.product_id, items))
        return fail(error, code);
    return write_items(device, items, port, error);
}
