#include "app/open_request.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>

#include "app/open_request_channel.h"
#include "qt_test_environment.h"

namespace kel::test {
namespace {

TEST(OpenRequestFilesTest, OnlyFilesAfterTheOptionCount) {
    EXPECT_TRUE(openRequestFiles({"room.kel"}).empty());
    EXPECT_TRUE(openRequestFiles({"-geometry", "800x600", "room.kel"}).empty());
    EXPECT_TRUE(openRequestFiles({"--open-request"}).empty());
    EXPECT_EQ(openRequestFiles({"ignored.kel", "--open-request", "a.kel", "", "b c.kel"}),
              (std::vector<std::string>{"a.kel", "b c.kel"}));
}

class OpenRequestChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        name_ = dir_.filePath(QStringLiteral("requests"));
    }
    OpenRequestServer::Handler recorder() {
        return [this](const std::string& path) { received_.push_back(path); };
    }
    // Runs the event loop until count paths arrived or a second passed.
    void waitFor(std::size_t count) {
        const QDeadlineTimer deadline(1000);
        while (received_.size() < count && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    void sendRaw(const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }

    QTemporaryDir dir_;
    QString name_;
    std::vector<std::string> received_;
};

TEST_F(OpenRequestChannelTest, ARequestReachesTheListeningInstanceOnly) {
    EXPECT_FALSE(forwardOpenRequest(name_, {"/scenes/room.kel"}, 200));
    {
        QFile stale(name_);  // left behind by an instance that died
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    OpenRequestServer server(name_, recorder());
    ASSERT_TRUE(server.listen());
    OpenRequestServer second(name_, [](const std::string&) {});
    EXPECT_FALSE(second.listen());

    const std::vector<std::string> paths{"/scenes/room.kel", "/my scenes/caf\xc3\xa9.kel"};
    ASSERT_TRUE(forwardOpenRequest(name_, paths));
    waitFor(2);
    EXPECT_EQ(received_, paths);
}

TEST_F(OpenRequestChannelTest, CutOffOrOversizedRequestsOpenOnlyCompleteNames) {
    OpenRequestServer server(name_, recorder());
    ASSERT_TRUE(server.listen());
    sendRaw(QByteArray("/a.kel\0\0/cut", 12));
    waitFor(1);
    sendRaw(QByteArray(OpenRequestServer::kMaxRequestBytes + 10, 'x').append('\0'));
    waitFor(2);
    EXPECT_EQ(received_, (std::vector<std::string>{"/a.kel"}));
}

}  // namespace
}  // namespace kel::test
