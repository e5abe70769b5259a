#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace kinetra {

namespace {
const QByteArray kActivate = QByteArrayLiteral("activate\n");
constexpr int kConnectTimeoutMs = 500;
} // namespace

QString SingleInstance::defaultName()
{
    // Local socket names share one folder for all users: the home folder makes the name the
    // user's own without putting a user name on display.
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("kinetra-") +
           QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(12));
}

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::askRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    if (server_)
        return true;
    if (askRunningInstance())
        return false;
    // Nobody answered: whatever is left under the name is stale.
    QLocalServer::removeServer(name_);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_)) {
        delete server;
        // Another start won the race in the meantime: it is the running instance.
        if (askRunningInstance())
            return false;
        // No socket to be had at all: run without the guard rather than not at all.
        return true;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kActivate.trimmed()))
                emit activationRequested();
        });
        // The request may have arrived with the connection already.
        if (socket->bytesAvailable() > 0 && socket->readAll().contains(kActivate.trimmed()))
            emit activationRequested();
    }
}

} // namespace kinetra
