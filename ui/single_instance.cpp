#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <memory>
#include <optional>

namespace lumio {

namespace {

// Marks a hand-over, so that anything else that connects is ignored.
const QByteArray kGreeting = QByteArrayLiteral("lumio-paths\n");

// Paths travel as the file system's bytes, each ended by a NUL, which no path holds.
QByteArray Encode(const QStringList& paths) {
  QByteArray bytes = kGreeting;
  for (const QString& path : paths) {
    bytes += QFile::encodeName(path);
    bytes += '\0';
  }
  return bytes;
}

std::optional<QStringList> Decode(const QByteArray& bytes) {
  if (!bytes.startsWith(kGreeting)) return std::nullopt;
  QStringList paths;
  qsizetype start = kGreeting.size();
  for (qsizetype end = bytes.indexOf('\0', start); end >= 0; end = bytes.indexOf('\0', start)) {
    paths.push_back(QFile::decodeName(bytes.mid(start, end - start)));
    start = end + 1;
  }
  return paths;
}

constexpr int kLongListWaitMs = 5000;

}  // namespace

QString InstanceServerName(const QString& settingsPath) {
  // The runtime folder belongs to the user alone, so no one else can put a socket there
  // to take the paths.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QByteArray key =
      QCryptographicHash::hash(QFile::encodeName(settingsPath), QCryptographicHash::Sha1)
          .toHex()
          .left(16);
  return folder + QStringLiteral("/lumio-") + QString::fromLatin1(key) + QStringLiteral(".socket");
}

bool HandOverToRunningInstance(const QString& serverName, const QStringList& paths) {
  QLocalSocket socket;
  // A local socket connects at once, or fails at once when nobody listens.
  socket.connectToServer(serverName, QIODevice::WriteOnly);
  if (socket.state() != QLocalSocket::ConnectedState) return false;
  socket.write(Encode(paths));
  socket.flush();
  if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(kLongListWaitMs)) return false;
  socket.disconnectFromServer();
  return true;
}

InstanceServer::InstanceServer(const QString& serverName, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName) &&
      server_->serverError() == QAbstractSocket::AddressInUseError) {
    // Nobody took the hand-over, so the socket is one that a crash left behind.
    QLocalServer::removeServer(serverName);
    server_->listen(serverName);
  }
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::TakeConnection);
}

void InstanceServer::TakeConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // The whole list is taken when the other start hangs up.
    const auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket,
            [socket, received] { *received += socket->readAll(); });
    const auto finish = [this, socket, received] {
      *received += socket->readAll();
      socket->deleteLater();
      // A start without paths still brings the running window to the front.
      if (const std::optional<QStringList> paths = Decode(*received)) emit PathsReceived(*paths);
    };
    if (socket->state() == QLocalSocket::UnconnectedState) {
      finish();
    } else {
      connect(socket, &QLocalSocket::disconnected, this, finish);
    }
  }
}

QStringList StartPaths(const std::vector<std::string>& arguments) {
  QStringList paths;
  for (const std::string& argument : arguments) {
    paths.push_back(
        QFileInfo(QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size())))
            .absoluteFilePath());
  }
  return paths;
}

}  // namespace lumio
