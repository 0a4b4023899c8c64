#include "common/event_pump.h"

#include "corvel/corvel.h"

#include <QCoreApplication>

#include <chrono>

namespace iomira::test {

bool pumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        corvel_dispatch(5);
        QCoreApplication::processEvents();
    }
    return true;
}

void pumpFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    pumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, milliseconds + 1000);
}

} // namespace iomira::test
