#include "app/open_request_channel.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/open_request_folder.h"

namespace kel {

namespace {

constexpr int kProbeTimeoutMs = 500;

}  // namespace

QString defaultOpenRequestServerName(std::string* problem) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string why;
    const std::string folder = openRequestFolder(runtime != nullptr ? runtime : "",
                                                 QDir::tempPath().toStdString(), ::getuid(), why);
    if (problem != nullptr) {
        *problem = why;
    }
    if (folder.empty()) {
        return {};
    }
    return QString::fromStdString(openRequestSocketPath(folder, ::getuid()));
}

bool peerIsThisUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) !=
        0) {
        return false;
    }
    return peer.uid == ::getuid();
}

bool forwardOpenRequest(const QString& serverName, const std::vector<std::string>& paths,
                        int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    // The paths are the user's business: hand them to no one else.
    if (!peerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
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
    // Connections still open go with the server; they must not call back into it.
    for (QLocalSocket* socket : server_.findChildren<QLocalSocket*>()) {
        socket->disconnect(this);
    }
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
        if (connections_ >= kMaxConnections || !peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        serve(socket);
    }
}

void OpenRequestServer::serve(QLocalSocket* socket) {
    ++connections_;
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    struct Request {
        QByteArray bytes;
        bool dropped = false;
    };
    auto request = std::make_shared<Request>();
    const auto drop = [socket, request] {
        request->dropped = true;
        request->bytes.clear();
        socket->abort();
        socket->deleteLater();
    };
    // Parented to the socket, so it goes with it.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->start(kIdleTimeoutMs);
    connect(idle, &QTimer::timeout, socket, drop);
    connect(socket, &QLocalSocket::readyRead, this, [socket, request, idle, drop] {
        if (request->dropped) {
            return;
        }
        if (request->bytes.size() + socket->bytesAvailable() > kMaxRequestBytes) {
            drop();
            return;
        }
        request->bytes.append(socket->readAll());
        idle->start(kIdleTimeoutMs);
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, request] {
        socket->deleteLater();
        if (request->dropped) {
            return;
        }
        request->bytes.append(socket->readAll());
        if (request->bytes.size() > kMaxRequestBytes) {
            return;
        }
        // Only NUL-terminated entries count: a request cut short loses its tail only.
        const QByteArray& bytes = request->bytes;
        qsizetype begin = 0;
        for (qsizetype end = bytes.indexOf('\0'); end >= 0; end = bytes.indexOf('\0', begin)) {
            if (end > begin) {
                handler_(bytes.mid(begin, end - begin).toStdString());
            }
            begin = end + 1;
        }
    });
}

}  // namespace kel
