#pragma once

#include <QString>

#include <sys/types.h>
#include <vector>

namespace iomira {

// The store file and the files SQLite keeps beside it (-wal, -shm, -journal), as they were
// found before the store was opened. It makes them private for the opened store, and puts
// the folder back as it was for a store that is refused.
class StoreFiles {
  public:
    explicit StoreFiles(const QString& storePath);

    static QStringList sideFileSuffixes();
    bool storeExisted() const { return found_.front().existed; }

    // Takes the rights of group and others from every file found. SQLite creates each side file
    // with the mode of the database file, and corrects its file's mode after the umask with fchmod,
    // so a umask around the open would be undone; a database file of mode 0600 is what keeps every
    // later side file private, whichever path inside SQLite creates it.
    void makePrivate() const;
    // Removes the files that were not there before and gives the others their mode back.
    void restore() const;

  private:
    struct Found {
        QString path;
        bool existed;
        mode_t mode;
    };
    std::vector<Found> found_;
};

} // namespace iomira
