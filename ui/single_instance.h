#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QLocalServer;

namespace lumio {

// One Lumio per settings file: a second start hands the files and folders it was given
// to the window already running and ends, so that two programs never save the same
// settings file over each other.

// The local socket of the instance that uses `settingsPath`: in the user's private
// runtime folder, named after the settings file.
QString InstanceServerName(const QString& settingsPath);

// Hands `paths` to the instance listening at `serverName`; false when none listens (no
// socket, or one left behind by a program that crashed). Runs at start-up, before any
// window or event loop exists: connecting and writing to a local socket finish at
// once, and only a very long list waits for the running instance to read it.
bool HandOverToRunningInstance(const QString& serverName, const QStringList& paths);

// Listens at `serverName` for paths handed over by later starts, replacing a socket
// left behind by a crash.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(const QString& serverName, QObject* parent = nullptr);

 signals:
  // A later start handed over these paths (perhaps none: it was started bare).
  void PathsReceived(const QStringList& paths);

 private:
  void TakeConnection();

  QLocalServer* server_;
};

// The files and folders named on the command line (the arguments that are no options),
// as absolute paths, since a running instance may live in another current folder.
QStringList StartPaths(const std::vector<std::string>& arguments);

}  // namespace lumio
