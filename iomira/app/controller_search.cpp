#include "app/controller_search.h"

#include "app/address_resolver.h"
#include "app/kestrel_worker.h"
#include "app/nexoltlib_worker.h"
#include "app/tkb11lib_worker.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/error_text.h"

namespace iomira {

ControllerSearch::ControllerSearch(UserPrompts& prompts, uint16_t languageId,
                                   const QString& caption, QObject* parent)
    : QObject(parent), prompts_(prompts), nexoltLib_(new NexoltLibWorker(this)),
      tkb11Lib_(new Tkb11LibWorker(this)), kestrel_(new KestrelWorker(languageId, caption, this)),
      resolver_(new AddressResolver(this)) {
    connect(nexoltLib_, &NexoltLibWorker::answered, this, &ControllerSearch::nexoltLibAnswered);
    connect(tkb11Lib_, &Tkb11LibWorker::answered, this, &ControllerSearch::tkb11LibAnswered);
    connect(kestrel_, &KestrelWorker::answered, this, &ControllerSearch::kestrelAnswered);
}

ControllerSearch::~ControllerSearch() = default;

FoundResults ControllerSearch::results() const {
    return {&nexoltLib_->records(), &tkb11Lib_->records()};
}

void ControllerSearch::start(Kind kind, const QString& address, const QString& port) {
    if (running_) return;
    running_ = true;
    emit started();
    rows_.clear();
    answers_ = 0;
    const auto portNumber = static_cast<uint16_t>(port.trimmed().toUInt());
    if (kind == BY_MAC) {
        expected_ = 3;
        nexoltLib_->startSearch(LIBRARY_BROADCAST, 0);
        tkb11Lib_->startSearch(LIBRARY_BROADCAST, 0);
        kestrel_->startSearch();
        return;
    }
    expected_ = 2;
    resolver_->resolve(address.trimmed().toLocal8Bit(), [this, portNumber](int error, uint32_t at) {
        resolved(error, at, portNumber);
    });
}

void ControllerSearch::resolved(int error, uint32_t address, uint16_t port) {
    if (error != 0) {
        prompts_.error(socketErrorText(error) + QLatin1Char('\n'));
        finish();
        return;
    }
    nexoltLib_->startRead(LIBRARY_UNICAST, address, port);
    tkb11Lib_->startRead(LIBRARY_UNICAST, address, port);
}

void ControllerSearch::nexoltLibAnswered() {
    const QString message = nexoltLibErrorMessage(nexoltLib_->error());
    if (!message.isEmpty()) prompts_.error(message);
    if (nexoltLib_->result() == 1) addRows(nexoltLibRows(nexoltLib_->records()));
    countAnswer();
}

void ControllerSearch::tkb11LibAnswered() {
    const QString message = tkb11LibErrorMessage(tkb11Lib_->error());
    if (!message.isEmpty()) prompts_.error(message);
    if (tkb11Lib_->result() == 1) addRows(tkb11LibRows(tkb11Lib_->records()));
    countAnswer();
}

void ControllerSearch::kestrelAnswered(int found) {
    addRows(kestrelRows(found));
    countAnswer();
}

void ControllerSearch::addRows(std::vector<FoundRow> rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(rows_.size());
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    emit rowsAdded(first, static_cast<int>(rows.size()));
}

void ControllerSearch::countAnswer() {
    if (++answers_ < expected_) return;
    finish();
    if (rows_.empty()) prompts_.error(loadString(TEXT_NO_RESPONSE));
}

void ControllerSearch::finish() {
    running_ = false;
    emit finished();
}

} // namespace iomira
