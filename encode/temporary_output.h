#pragma once

#include <optional>
#include <string>

namespace lumio {

// The encoder writes each job into a hidden file of its own in the output folder; only
// a complete file takes the output's name, by a rename within the folder, so that a
// cancelled or failed job never leaves a partial file, and a file that was there before
// survives until its replacement is whole.
class TemporaryOutput {
 public:
  // Creates the hidden file (new, never an existing one) in `folder`, which ends in a
  // separator; nullopt, with the reason in `error`, when it cannot be made.
  static std::optional<TemporaryOutput> Reserve(const std::string& folder, std::string& error);

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
  TemporaryOutput(std::string folder, std::string name)
      : folder_(std::move(folder)), name_(std::move(name)) {}

  std::string folder_;
  std::string name_;
};

// Removes the hidden files that an earlier run of this program left in `folder` when it
// was killed before it could clean up; files of a process that is still running stay.
void RemoveAbandonedTemporaryOutputs(const std::string& folder);

}  // namespace lumio
