#pragma once

namespace lumio {

// Minutes and seconds counted in one-second ticks; seconds stay within 0 to 59.
struct ElapsedCount {
  int minutes = 0;
  int seconds = 0;
  void Tick();
};

// The progress window's four counters: the whole run and the current file.
class ProgressCounters {
 public:
  const ElapsedCount& Total() const { return total_; }
  const ElapsedCount& File() const { return file_; }

  // Activation: all four counters to 0.
  void ZeroAll();
  // One timer tick: the total pair first, then the per-file pair.
  void Tick();
  void ResetFileCount();

 private:
  ElapsedCount total_;
  ElapsedCount file_;
};

}  // namespace lumio
