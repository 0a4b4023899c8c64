#include "reassembler.h"

#include <algorithm>

namespace corvel {

size_t Reassembler::feed(const uint8_t* data, size_t size, Event& event) {
    event = Event::None;
    size_t used = 0;
    if (!in_body_) {
        const size_t take = std::min(HEADER_SIZE - header_held_, size);
        std::copy_n(data, take, header_.data() + header_held_);
        header_held_ += take;
        used = take;
        if (header_held_ < HEADER_SIZE) return used;
        header_held_ = 0;
        // The high length byte is ignored: the length counts modulo 256.
        body_length_ = header_[5];
        if (body_length_ > MAX_BODY_SIZE) {
            event = Event::BadLength;
            return used;
        }
        in_body_ = true;
        body_held_ = 0;
    }
    const size_t take = std::min(body_length_ - body_held_, size - used);
    std::copy_n(data + used, take, body_.data() + body_held_);
    body_held_ += take;
    used += take;
    if (body_held_ == body_length_) {
        in_body_ = false;
        event = Event::Body;
    }
    return used;
}

} // namespace corvel
