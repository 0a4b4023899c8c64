#pragma once

#include <functional>

namespace iomira::test {

// Runs Corvel's dispatcher and Qt's events until the condition holds or the time is up.
bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void pumpFor(int milliseconds);

} // namespace iomira::test
