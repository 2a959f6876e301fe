#pragma once

#include <string>

namespace lumio {

// An exclusive lock on a file, held from TryTake until the object goes, and released by
// the system when the process ends in any way (flock). The file itself stays: removing
// it could let two processes each lock a file of the same name.
class ExclusiveLock {
 public:
  enum class Outcome { Taken, HeldElsewhere, Failed };

  // Creates the file at `path` (owner-only) when missing and locks it without waiting.
  explicit ExclusiveLock(const std::string& path);
  ~ExclusiveLock();
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  // Whether this object holds the lock, another open file holds it (in this or another
  // process), or the file could not be made or locked.
  Outcome Result() const { return result_; }

 private:
  int descriptor_ = -1;
  Outcome result_ = Outcome::Failed;
};

}  // namespace lumio
