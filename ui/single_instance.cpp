#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <thread>

#include "core/hand_over_message.h"
#include "platform/exclusive_lock.h"

namespace lumio {

namespace {

// What Qt reads from a connection ahead of the receiver: a sender cannot make the
// running Lumio hold more than this beyond the message it announced.
constexpr qint64 kReadAhead = 1 << 20;

// A sender that has not sent its whole message by then is dropped.
constexpr std::chrono::milliseconds kSenderPatience{30'000};

// Between tries while the owner starts or ends.
constexpr std::chrono::milliseconds kRetryPause{50};

enum class Delivery { Acknowledged, NoListener, Unanswered };

int RemainingMs(const QDeadlineTimer& deadline) {
  return static_cast<int>(deadline.remainingTime());
}

// Sends the message, waits for the owner's answer and confirms it. Blocking is fine
// here: no window and no event loop exist yet in this process. The owner listens only
// once its event loop runs, so the patience for its answer is counted from the first
// time it takes a connection: `answerDeadline` is set then, and `start` bounds the wait
// until it does. Any way out but Acknowledged closes the connection before the confirmation
// is sent, so the owner never takes paths whose start then says it could not hand them
// over.
Delivery Deliver(const QString& socketName, const std::string& message, const QDeadlineTimer& start,
                 std::optional<QDeadlineTimer>& answerDeadline,
                 std::chrono::milliseconds patience) {
  QLocalSocket socket;
  socket.connectToServer(socketName);
  if (!socket.waitForConnected(RemainingMs(answerDeadline.value_or(start)))) {
    return Delivery::NoListener;
  }
  if (!answerDeadline) answerDeadline.emplace(patience);
  const QDeadlineTimer& deadline = *answerDeadline;
  socket.write(message.data(), static_cast<qint64>(message.size()));
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(RemainingMs(deadline))) return Delivery::Unanswered;
  }
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(RemainingMs(deadline))) return Delivery::Unanswered;
  }
  char answer = 0;
  if (!socket.getChar(&answer) || answer != kHandOverAcknowledgement) return Delivery::Unanswered;
  // One byte on a connection that has nothing else queued: it is with the owner, or the
  // owner is gone and takes nothing.
  if (!socket.putChar(kHandOverConfirmation) || !socket.flush() || socket.bytesToWrite() > 0) {
    socket.abort();
    return Delivery::Unanswered;
  }
  return Delivery::Acknowledged;
}

}  // namespace

InstancePlace InstancePlaceFor(const std::string& settingsPath) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QByteArray key =
      QCryptographicHash::hash(QByteArray::fromStdString(settingsPath), QCryptographicHash::Sha1)
          .toHex()
          .left(16);
  const QString stem = folder + QStringLiteral("/lumio-") + QString::fromLatin1(key);
  return {stem + QStringLiteral(".lock"), stem + QStringLiteral(".socket")};
}

struct InstanceServer::Incoming {
  std::optional<std::size_t> bodyLength;
  std::string body;
  // Read and answered, waiting for the sender's confirmation.
  std::optional<std::vector<std::string>> paths;
  bool done = false;
};

InstanceServer::InstanceServer(std::unique_ptr<ExclusiveLock> lock, const QString& socketName)
    : lock_(std::move(lock)), server_(std::make_unique<QLocalServer>()) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, &InstanceServer::TakeConnections);
  // Listens once the event loop runs, which answers: a later start that finds no listener
  // knows the owner is still starting and waits for it, however long building the
  // windows takes on a loaded machine, and its patience for the answer starts then.
  QMetaObject::invokeMethod(
      this,
      [this, socketName] {
        // Only the lock's holder gets here, so a socket already in place is one that a
        // killed owner left behind.
        QLocalServer::removeServer(socketName);
        server_->listen(socketName);
      },
      Qt::QueuedConnection);
}

InstanceServer::~InstanceServer() = default;

void InstanceServer::TakeConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setReadBufferSize(kReadAhead);
    const auto incoming = std::make_shared<Incoming>();
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, incoming] { ReadFrom(*socket, *incoming); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kSenderPatience, socket, &QLocalSocket::abort);
    ReadFrom(*socket, *incoming);
  }
}

void InstanceServer::ReadFrom(QLocalSocket& socket, Incoming& incoming) {
  if (incoming.done) return;
  if (!incoming.paths) {
    if (!ReadPaths(socket, incoming)) return;
    // The answer; the paths wait for the sender to confirm that it is still there.
    socket.write(&kHandOverAcknowledgement, 1);
    socket.flush();
  }
  char confirmation = 0;
  if (!socket.getChar(&confirmation)) return;
  incoming.done = true;
  if (confirmation != kHandOverConfirmation) {
    socket.abort();
    return;
  }
  socket.disconnectFromServer();
  emit PathsReceived(*incoming.paths);
}

bool InstanceServer::ReadPaths(QLocalSocket& socket, Incoming& incoming) {
  if (!incoming.bodyLength) {
    if (socket.bytesAvailable() < static_cast<qint64>(kHandOverHeaderSize)) return false;
    incoming.bodyLength = HandOverBodyLength(socket.read(kHandOverHeaderSize).toStdString());
    if (!incoming.bodyLength) {
      // Not a hand-over, or one larger than any list of paths needs: refused before
      // any of its body is read.
      incoming.done = true;
      socket.abort();
      return false;
    }
  }
  const QByteArray bytes =
      socket.read(static_cast<qint64>(*incoming.bodyLength - incoming.body.size()));
  incoming.body.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (incoming.body.size() < *incoming.bodyLength) return false;
  incoming.paths = HandOverPaths(incoming.body);
  std::string().swap(incoming.body);
  if (!incoming.paths) {
    incoming.done = true;
    socket.abort();
    return false;
  }
  return true;
}

InstanceStart TakeInstanceOrHandOver(const InstancePlace& place,
                                     const std::vector<std::string>& paths,
                                     std::chrono::milliseconds patience,
                                     std::chrono::milliseconds startPatience) {
  const std::optional<std::string> message = EncodeHandOver(paths);
  const QDeadlineTimer start(startPatience);
  std::optional<QDeadlineTimer> answerDeadline;
  for (;;) {
    auto lock = std::make_unique<ExclusiveLock>(QFile::encodeName(place.lock).toStdString());
    switch (lock->Result()) {
      case ExclusiveLock::Outcome::Taken:
        return {InstanceStartOutcome::Owner,
                std::make_unique<InstanceServer>(std::move(lock), place.socket)};
      case ExclusiveLock::Outcome::Failed:
        return {InstanceStartOutcome::NoLock, nullptr};
      case ExclusiveLock::Outcome::HeldElsewhere:
        break;
    }
    if (!message) return {InstanceStartOutcome::TooMany, nullptr};
    if (Deliver(place.socket, *message, start, answerDeadline, patience) ==
        Delivery::Acknowledged) {
      return {InstanceStartOutcome::HandedOver, nullptr};
    }
    if (answerDeadline.value_or(start).hasExpired())
      return {InstanceStartOutcome::NoAnswer, nullptr};
    std::this_thread::sleep_for(kRetryPause);
  }
}

std::vector<std::string> StartPaths(const std::vector<std::string>& arguments) {
  std::vector<std::string> paths;
  paths.reserve(arguments.size());
  for (const std::string& argument : arguments) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
    paths.push_back(error ? argument : absolute.lexically_normal().native());
  }
  return paths;
}

}  // namespace lumio
