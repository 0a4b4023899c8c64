#include "monitor/corvel_target.h"

#include <utility>

namespace iomira {

CorvelTarget::CorvelTarget(Handler handler)
    : link_{{&CorvelTarget::proc}, this}, handler_(std::move(handler)) {}

void CorvelTarget::proc(corvel_window* window, uint32_t message, uintptr_t wparam,
                        intptr_t lparam) {
    CorvelTarget* target = reinterpret_cast<Link*>(window)->target;
    if (target->handler_) target->handler_(message, wparam, lparam);
}

} // namespace iomira
