#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace lumio {

// Turns SIGTERM, SIGINT and SIGHUP (a polite request to end, as a session's logout or
// Ctrl+C sends) into a call of `onSignal` from the event loop, where the program can end
// its work in order. While an instance lives it owns these signals; one at a time.
class QuitSignals : public QObject {
 public:
  explicit QuitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~QuitSignals() override;

  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

 private:
  void Read();

  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace lumio
