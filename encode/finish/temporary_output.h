#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumio {

// The encoder writes each job into a hidden file of its own in the output folder; only
// a complete file takes the output's name, by a rename within the folder, so that a
// cancelled or failed job never leaves a partial file, and a file that was there before
// survives until its replacement is whole. The file is held open with an exclusive
// flock for as long as this object lives: a lock that can be taken is the proof that no
// writer is left, which a dead-looking pid is not (NFS, another pid namespace).
class TemporaryOutput {
 public:
  // Creates the hidden file (new, never an existing one) in `folder`, which ends in a
  // separator, and locks it; nullopt, with the reason in `error`, when it cannot be made.
  static std::optional<TemporaryOutput> Reserve(const std::string& folder, std::string& error);

  TemporaryOutput(TemporaryOutput&& other) noexcept;
  TemporaryOutput& operator=(TemporaryOutput&& other) noexcept;
  // Closes the file, which releases the lock; the file itself stays (see Discard).
  ~TemporaryOutput();

  // The file's name, without folder, to hand to the encoder.
  const std::string& Name() const { return name_; }
  std::string Path() const { return folder_ + name_; }

  // Whether the encoder left something in the file.
  bool HasContent() const;
  // Renames the file over `finalName` in the same folder; false with the reason in
  // `error` when that fails (the hidden file is then removed).
  bool Commit(const std::string& finalName, std::string& error);
  // Removes the file.
  void Discard();

 private:
  TemporaryOutput(std::string folder, std::string name, int lockedFile)
      : folder_(std::move(folder)), name_(std::move(name)), lockedFile_(lockedFile) {}

  std::string folder_;
  std::string name_;
  int lockedFile_ = -1;
};

// Removes the hidden files that an earlier run of this program left in each of
// `folders` when it was killed before it could clean up. Only files that are provably
// such outputs go: named exactly as Reserve names them, regular files (not links) of
// this user, and not locked by a live writer.
void RemoveAbandonedTemporaryOutputs(const std::vector<std::string>& folders);

}  // namespace lumio
