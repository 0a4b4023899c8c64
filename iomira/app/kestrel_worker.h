#pragma once

#include "app/library_worker.h"

#include <QString>

namespace iomira {

// Kestrel's search of the RLX controllers. The found controllers stay inside the library,
// addressed by their position in this search's result.
class KestrelWorker : public LibraryWorker {
    Q_OBJECT
  public:
    // `caption` is the add dialog's title, which the library's search may show.
    KestrelWorker(uint16_t languageId, const QString& caption, QObject* parent = nullptr);

    void startSearch();

  signals:
    void answered(int found);

  private:
    uint16_t languageId_;
    QString caption_;
};

} // namespace iomira
