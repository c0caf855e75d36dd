#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace kel {

// The desktop asks the program to open files by starting it with the open-request option.
// The first instance listens on a per-user local socket; a later one hands its request over
// through it and ends, so that the files open in the running viewer as File > Open would.
//
// On the wire: per connection, each path in UTF-8 followed by a NUL byte (the one byte no
// path can hold); the request is complete when the sender disconnects.

// The per-user socket name: a path holding the user id, in a folder only the user can
// reach (see openRequestFolder). Empty when there is no such folder; problem then says why,
// and the program runs without the channel.
QString defaultOpenRequestServerName(std::string* problem = nullptr);

// True when the process at the other end of the connected local socket runs as this user.
bool peerIsThisUser(qintptr socketDescriptor);

// Sends the paths to the instance listening on serverName. False when none answers in
// time, or when the one that answers runs as another user; the caller then opens the files
// itself.
bool forwardOpenRequest(const QString& serverName, const std::vector<std::string>& paths,
                        int timeoutMs = 3000);

class OpenRequestServer : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const std::string& path)>;
    // A request larger than this is not a list of file names; the connection is dropped.
    static constexpr qint64 kMaxRequestBytes = 1 << 20;
    // A connection that sends nothing for this long is closed.
    static constexpr int kIdleTimeoutMs = 2000;
    // Connections beyond this many at once are closed at once.
    static constexpr int kMaxConnections = 16;

    OpenRequestServer(const QString& serverName, Handler handler, QObject* parent = nullptr);
    ~OpenRequestServer() override;

    // Starts listening, taking over a socket left behind by an instance that no longer
    // runs. False when another instance is listening or the socket cannot be made.
    bool listen();
    bool isListening() const { return server_.isListening(); }
    int connectionCount() const { return connections_; }

private:
    void acceptConnections();
    void serve(QLocalSocket* socket);

    QString serverName_;
    Handler handler_;
    QLocalServer server_;
    int connections_ = 0;
};

}  // namespace kel
