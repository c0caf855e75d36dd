#include "app/open_request_channel.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <memory>

namespace kel {

namespace {

constexpr int kProbeTimeoutMs = 500;

}  // namespace

QString defaultOpenRequestServerName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("kel-open-request"));
}

bool forwardOpenRequest(const QString& serverName, const std::vector<std::string>& paths,
                        int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QByteArray request;
    for (const std::string& path : paths) {
        request.append(path.data(), static_cast<qsizetype>(path.size()));
        request.append('\0');
    }
    socket.write(request);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs)) {
            return false;
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return true;
}

OpenRequestServer::OpenRequestServer(const QString& serverName, Handler handler, QObject* parent)
    : QObject(parent), serverName_(serverName), handler_(std::move(handler)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &OpenRequestServer::acceptConnections);
}

OpenRequestServer::~OpenRequestServer() {
    server_.close();
}

bool OpenRequestServer::listen() {
    // Ask first: binding would silently take the name over from a running viewer.
    QLocalSocket probe;
    probe.connectToServer(serverName_);
    if (probe.waitForConnected(kProbeTimeoutMs)) {
        probe.abort();
        return false;
    }
    if (server_.listen(serverName_)) {
        return true;
    }
    if (server_.serverError() != QAbstractSocket::AddressInUseError) {
        return false;
    }
    // Nobody answers on the name: a socket left behind by a viewer that ended abruptly.
    QLocalServer::removeServer(serverName_);
    return server_.listen(serverName_);
}

void OpenRequestServer::acceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] {
            if (buffer->size() + socket->bytesAvailable() > kMaxRequestBytes) {
                buffer->clear();
                socket->abort();
                return;
            }
            buffer->append(socket->readAll());
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            socket->deleteLater();
            if (buffer->size() > kMaxRequestBytes) {
                return;
            }
            // Only NUL-terminated entries count: a request cut short loses its tail only.
            qsizetype begin = 0;
            for (qsizetype end = buffer->indexOf('\0'); end >= 0;
                 end = buffer->indexOf('\0', begin)) {
                if (end > begin) {
                    handler_(buffer->mid(begin, end - begin).toStdString());
                }
                begin = end + 1;
            }
        });
    }
}

}  // namespace kel
