#pragma once

#include "core/user_prompts.h"
#include "notify/mail_account.h"

#include <QString>

#include <chrono>
#include <functional>
#include <ostream>
#include <vector>

namespace iomira::mail_test {

// Runs the event loop until `done` holds or `limit` passes; whether it holds.
bool waitFor(const std::function<bool()>& done,
             std::chrono::milliseconds limit = std::chrono::seconds(60));

// Message boxes as a list of "kind: text" lines; questions get the prepared answer.
class RecordingPrompts final : public UserPrompts {
  public:
    void information(const QString& text) override { shown.push_back("information: " + text); }
    void warning(const QString& text) override { shown.push_back("warning: " + text); }
    void error(const QString& text) override { shown.push_back("error: " + text); }
    bool ask(const QString& text, bool) override {
        shown.push_back("ask: " + text);
        return answer;
    }

    std::vector<QString> shown;
    bool answer = true;
};

// An account with every field set, for round trips.
CMailAccount sampleAccount(int32_t id);

} // namespace iomira::mail_test

namespace iomira {
void PrintTo(const CMailAccount& a, std::ostream* out);
}
