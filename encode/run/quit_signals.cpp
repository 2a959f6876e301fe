#include "encode/run/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>

namespace lumio {

namespace {

constexpr std::array<int, 3> kQuitSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may only write to the pair; the event loop reads the other end.
int signalPair[2] = {-1, -1};

void WriteSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = ::write(signalPair[0], &byte, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPair) != 0) {
    return;
  }
  notifier_ = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Read);
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : kQuitSignals) {
    ::sigaction(number, &action, nullptr);
  }
}

QuitSignals::~QuitSignals() {
  for (const int number : kQuitSignals) {
    ::signal(number, SIG_DFL);
  }
  delete notifier_;
  for (int& end : signalPair) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

void QuitSignals::Read() {
  char bytes[16];
  bool signalled = false;
  while (::read(signalPair[1], bytes, sizeof bytes) > 0) {
    signalled = true;
  }
  if (signalled && onSignal_) {
    onSignal_();
  }
}

}  // namespace lumio
