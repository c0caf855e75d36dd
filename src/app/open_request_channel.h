#pragma once

#include <QLocalServer>
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

// The per-user socket name: a path in the user's private runtime folder.
QString defaultOpenRequestServerName();

// Sends the paths to the instance listening on serverName. False when none answers in
// time, in which case the caller opens the files itself.
bool forwardOpenRequest(const QString& serverName, const std::vector<std::string>& paths,
                        int timeoutMs = 3000);

class OpenRequestServer : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const std::string& path)>;
    // A request larger than this is not a list of file names; the connection is dropped.
    static constexpr qint64 kMaxRequestBytes = 1 << 20;

    OpenRequestServer(const QString& serverName, Handler handler, QObject* parent = nullptr);
    ~OpenRequestServer() override;

    // Starts listening, taking over a socket left behind by an instance that no longer
    // runs. False when another instance is listening or the socket cannot be made.
    bool listen();
    bool isListening() const { return server_.isListening(); }

private:
    void acceptConnections();

    QString serverName_;
    Handler handler_;
    QLocalServer server_;
};

}  // namespace kel
