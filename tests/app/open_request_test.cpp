#include "app/open_request.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/open_request_channel.h"
#include "app/open_request_folder.h"
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
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    // Runs the event loop, deleting closed connections as it goes, until count paths
    // arrived or ms passed.
    void runFor(int ms, std::size_t count = SIZE_MAX) {
        const QDeadlineTimer deadline(ms);
        while (received_.size() < count && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    std::unique_ptr<QLocalSocket> connect() {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(name_);
        EXPECT_TRUE(socket->waitForConnected(1000));
        return socket;
    }

    QTemporaryDir dir_;
    QString name_ = dir_.filePath(QStringLiteral("requests"));
    std::vector<std::string> received_;
    OpenRequestServer server_{name_,
                              [this](const std::string& path) { received_.push_back(path); }};
};

// Idle connections beyond the cap are refused, and all of them closed after the idle time,
// so that silent clients cannot keep requests out.
TEST_F(OpenRequestChannelTest, ARequestReachesTheListeningInstanceOnlyPastIdleConnections) {
    EXPECT_FALSE(forwardOpenRequest(name_, {"/scenes/room.kel"}, 200));
    {
        QFile stale(name_);  // left behind by an instance that died
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(server_.listen());
    OpenRequestServer second(name_, [](const std::string&) {});
    EXPECT_FALSE(second.listen());
    std::vector<std::unique_ptr<QLocalSocket>> idle(20);
    std::generate(idle.begin(), idle.end(), [this] { return connect(); });
    runFor(300);
    EXPECT_EQ(server_.connectionCount(), OpenRequestServer::kMaxConnections);
    runFor(OpenRequestServer::kIdleTimeoutMs + 500);
    EXPECT_EQ(server_.connectionCount(), 0);

    const std::vector<std::string> paths{"/scenes/room.kel", "/my scenes/caf\xc3\xa9.kel"};
    ASSERT_TRUE(forwardOpenRequest(name_, paths));
    runFor(1000, 2);
    EXPECT_EQ(received_, paths);
}

TEST_F(OpenRequestChannelTest, CutOffOrOversizedRequestsOpenOnlyCompleteNames) {
    ASSERT_TRUE(server_.listen());
    for (const QByteArray& bytes :
         {QByteArray("/a.kel\0\0/cut", 12),
          QByteArray(OpenRequestServer::kMaxRequestBytes + 10, 'x') + '\0'}) {
        const auto socket = connect();
        socket->write(bytes);
        socket->waitForBytesWritten(1000);
        socket->disconnectFromServer();
        runFor(300);
    }
    EXPECT_EQ(received_, (std::vector<std::string>{"/a.kel"}));
}

// The socket lives only in a folder that is the user's alone; otherwise there is none.
TEST(OpenRequestFolderTest, OnlyAPrivateFolderOfTheUserIsUsed) {
    namespace fs = std::filesystem;
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const fs::path root = scratch.path().toStdString();
    const uid_t me = ::getuid();
    const auto folder = [&root](const std::string& name, mode_t mode) {
        fs::create_directory(root / name);
        ::chmod((root / name).c_str(), mode);
        return (root / name).string();
    };
    const std::string runtime = folder("runtime", 0700);
    const std::string open = folder("open", 0755);
    fs::create_directory_symlink(runtime, root / "link");
    const std::string tmp = folder("tmp", 01777);
    const std::string own = tmp + "/kel-" + std::to_string(me);

    std::string problem;
    EXPECT_EQ(openRequestFolder(runtime, tmp, me, problem), runtime);
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(fs::exists(own));
    // An unsafe runtime folder: a folder of the user's own in tmp, made 0700.
    for (const std::string& unsafe : {open, (root / "link").string(), std::string("relative")}) {
        EXPECT_EQ(openRequestFolder(unsafe, tmp, me, problem), own) << unsafe;
        struct stat info {};
        ASSERT_EQ(::lstat(own.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0700u);
    }
    EXPECT_EQ(openRequestSocketPath(own, me), own + "/kel-open-request-" + std::to_string(me));

    // Someone else got there first (here: this user, seen from user me + 1), or left it
    // open to all: no channel at all.
    EXPECT_EQ(openRequestFolder("", tmp, me + 1, problem), "");
    EXPECT_EQ(problem, tmp + "/kel-" + std::to_string(me + 1) + " belongs to another user");
    ::chmod(own.c_str(), 0777);
    EXPECT_EQ(openRequestFolder(open, tmp, me, problem), "");
    EXPECT_EQ(problem,
              open + " can be reached by other users; " + own + " can be reached by other users");
    fs::remove(own);
    fs::create_directory_symlink(runtime, own);
    EXPECT_EQ(openRequestFolder("", tmp, me, problem), "");
    EXPECT_EQ(problem, own + " is a symbolic link");
    EXPECT_EQ(openRequestFolder("", "", me, problem), "");
    EXPECT_EQ(problem, "there is no temporary folder");
}

}  // namespace
}  // namespace kel::test
