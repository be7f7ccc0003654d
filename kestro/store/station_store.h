// Keeps a controller station's configuration in one SQLite database file: one table per
// record kind, one row per record. kestrod loads it at start and saves every record a setter
// changed before it answers, so that a killed server loses nothing it acknowledged.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "kestro/model/configuration.h"

namespace kestro {

class StationStore {
  public:
    StationStore();
    ~StationStore();
    StationStore(const StationStore&) = delete;
    StationStore& operator=(const StationStore&) = delete;

    // Opens the database file `path`. A missing file, or one without any table yet (empty,
    // or left by a creation that never finished), is created with `seed()`'s configuration
    // in one transaction. The file is held locked until the store closes, so that no second
    // server works on it. False with error() set when the file cannot be opened or created,
    // is no station database, has another schema version or is in use.
    bool Open(const std::string& path, const std::function<Configuration()>& seed);

    // True when Open created the database (from the seed).
    bool created() const { return created_; }

    // Reads every record of every kind into `configuration`, which is replaced on success
    // and left untouched on failure (error() set): a value of the wrong type in any column
    // is refused rather than guessed.
    bool Load(Configuration& configuration);

    // Stores `record`, creating or replacing the row with its identifier, as one
    // transaction: once it returns true the change is in the database file and outlives the
    // process. False with error() set, and nothing changed, on failure, which includes a
    // database file or log that was removed or replaced since Open (the change would live
    // only in a file no one can open again). Record is one of the record kinds of records.h.
    template <typename Record>
    bool Save(const Record& record);

    // When Open created the database: closes it and removes its file (and the log files
    // beside it), for a server that cannot start after all. True when it did.
    bool RemoveCreated();

    // The reason of the last failure, naming the file and, where the system gave one, its
    // reason: "kestrod.db: disk I/O error (No space left on device)".
    const std::string& error() const { return error_; }

  private:
    struct Database;
    std::unique_ptr<Database> database_;
    bool created_ = false;
    std::string path_;
    std::string error_;
};

}  // namespace kestro
