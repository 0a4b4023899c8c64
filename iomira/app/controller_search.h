#pragma once

#include "app/found_records.h"
#include "app/found_rows.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace iomira {

class AddressResolver;
class KestrelWorker;
class NexoltLibWorker;
class Tkb11LibWorker;
class UserPrompts;

// The search page's search: a broadcast in all three libraries, or a read of one address in
// NexoltLib and tkb11lib. Rows arrive as the libraries answer; the search ends when every
// expected answer is in.
class ControllerSearch : public QObject {
    Q_OBJECT
  public:
    enum Kind { BY_MAC = 0, BY_ADDRESS = 1 };

    ControllerSearch(UserPrompts& prompts, uint16_t languageId, const QString& caption,
                     QObject* parent = nullptr);
    ~ControllerSearch() override;

    // Starts a search unless one is running. A typed address is resolved first, off this
    // thread; a failure is shown and ends the search.
    void start(Kind kind, const QString& address, const QString& port);
    bool running() const { return running_; }

    const std::vector<FoundRow>& rows() const { return rows_; }
    FoundResults results() const;

  signals:
    void started();
    void rowsAdded(int first, int count);
    void finished();

  private:
    void resolved(int error, uint32_t address, uint16_t port);
    void nexoltLibAnswered();
    void tkb11LibAnswered();
    void kestrelAnswered(int found);
    void addRows(std::vector<FoundRow> rows);
    void countAnswer();
    void finish();

    UserPrompts& prompts_;
    NexoltLibWorker* nexoltLib_;
    Tkb11LibWorker* tkb11Lib_;
    KestrelWorker* kestrel_;
    AddressResolver* resolver_;
    std::vector<FoundRow> rows_;
    bool running_ = false;
    int expected_ = 0;
    int answers_ = 0;
};

} // namespace iomira
