// ReplacementFile: puts a newly written file in the place of an existing one only once it is
// complete and on disk. The new content goes to "<target>.partial" beside the target; a
// successful Commit renames it over the target, and any failure leaves the target as it was
// and the partial file beside it for inspection.
#pragma once

#include <cstdint>
#include <string>

class ReplacementFile {
  public:
    explicit ReplacementFile(std::string target);
    // Closes the partial file's descriptor; a file not committed stays as PartialPath().
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    const std::string& Target() const { return target_; }
    const std::string& PartialPath() const { return partial_; }

    // Creates PartialPath() as a new, empty file (one left by an earlier run is removed
    // first) and keeps it open, so that Commit can flush what others write to it by path. False,
    // with errno telling why, when it cannot be created (a missing folder, no write permission).
    bool Create();

    // Checks that the partial file holds `expectedSize` bytes (a buffered write that failed
    // when its writer closed the file leaves it shorter), flushes it to disk, gives it the
    // permission bits of an existing target and renames it over the target; the folder is
    // flushed as well. False, with errno telling why (EIO for a short file), when any step
    // fails: the target is then untouched and the partial file stays.
    bool Commit(std::int64_t expectedSize);

  private:
    std::string target_;
    std::string partial_;
    int descriptor_ = -1;
};
