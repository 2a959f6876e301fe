#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace lumio {

class ExclusiveLock;

// One Lumio per settings file: the start that takes the settings file's lock owns it for
// its whole life and listens on a local socket; a later start hands the files and
// folders it was given to that owner and ends, so that two programs never save the same
// settings file over each other.

// The lock file and the local socket of the Lumio that uses `settingsPath`: in the
// user's private runtime folder (no one else can put a socket there to take the paths),
// named after the settings file.
struct InstancePlace {
  QString lock;
  QString socket;
};
InstancePlace InstancePlaceFor(const std::string& settingsPath);

// Receives the paths that later starts hand over, for as long as it exists, from the
// time its thread's event loop first runs. Exists only in the start that holds the
// lock, so only the owner ever removes or makes the socket.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  InstanceServer(std::unique_ptr<ExclusiveLock> lock, const QString& socketName);
  ~InstanceServer() override;

 signals:
  // A later start handed over these paths, byte for byte (perhaps none: it was started
  // bare, and the window is only to come to the front). Sent only once that start has
  // confirmed the owner's answer: a start that gave up has its paths dropped.
  void PathsReceived(const std::vector<std::string>& paths);

 private:
  struct Incoming;
  void TakeConnections();
  void ReadFrom(QLocalSocket& socket, Incoming& incoming);
  // Reads the message as far as it has come; true once its paths are whole.
  bool ReadPaths(QLocalSocket& socket, Incoming& incoming);

  // Declared before the server, so that the socket is gone before the lock is let go.
  std::unique_ptr<ExclusiveLock> lock_;
  std::unique_ptr<QLocalServer> server_;
};

enum class InstanceStartOutcome {
  Owner,       // this start holds the lock: `server` listens, the windows may be built
  HandedOver,  // the running Lumio has taken the paths
  TooMany,     // the paths exceed a limit of the hand-over (kHandOverPathLimit and others)
  NoAnswer,    // the running Lumio did not listen, or not take them, within the patience given
  NoLock,      // the lock file cannot be made (no usable runtime folder)
};

struct InstanceStart {
  InstanceStartOutcome outcome;
  std::unique_ptr<InstanceServer> server;
};

// How long a second start waits for the owner's answer, counted from the first time the
// owner takes its connection.
inline constexpr std::chrono::milliseconds kOwnerPatience{10'000};
// How long a second start waits for the owner to listen: it does once its windows stand
// and its event loop runs, which a loaded machine may take long for. Only an owner that
// hangs while it starts is given up on.
inline constexpr std::chrono::milliseconds kOwnerStartPatience{60'000};

// Takes the lock at `place`, or hands `paths` to the Lumio holding it and waits for its
// answer. Runs before any window exists, so it may wait: an owner that is starting or
// ending is tried again until `startPatience` has passed, and one that listens is given
// `patience` to answer.
InstanceStart TakeInstanceOrHandOver(const InstancePlace& place,
                                     const std::vector<std::string>& paths,
                                     std::chrono::milliseconds patience = kOwnerPatience,
                                     std::chrono::milliseconds startPatience = kOwnerStartPatience);

// The files and folders named on the command line, byte for byte, made absolute, since
// the running Lumio may live in another current folder.
std::vector<std::string> StartPaths(const std::vector<std::string>& arguments);

}  // namespace lumio
