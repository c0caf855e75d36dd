#include "app/open_request.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "app/app_fixture.h"
#include "app/canonical_path.h"
#include "app/open_request_channel.h"
#include "files/kel_doc.h"

namespace kel::test {
namespace {

TEST(OpenRequestFilesTest, OnlyFilesAfterTheOptionCount) {
    EXPECT_TRUE(openRequestFiles({}).empty());
    EXPECT_TRUE(openRequestFiles({"room.kel"}).empty());
    EXPECT_TRUE(openRequestFiles({"-geometry", "800x600", "room.kel"}).empty());
    EXPECT_TRUE(openRequestFiles({"--open-request"}).empty());
    EXPECT_EQ(openRequestFiles({"ignored.kel", "--open-request", "a.kel", "", "b c.kel"}),
              (std::vector<std::string>{"a.kel", "b c.kel"}));
    EXPECT_EQ(openRequestFiles({"--open-request", "a.kel", "--open-request", "b.kel"}),
              (std::vector<std::string>{"a.kel", "b.kel"}));
}

TEST(CanonicalPathTest, NamesOfOneFileAgreeAndMissingFilesHaveNone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.filePath(QStringLiteral("a.kel")).toStdString();
    QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
    const std::string dotted = dir.path().toStdString() + "/./sub/../a.kel";
    std::filesystem::create_directory(dir.path().toStdString() + "/sub");
    EXPECT_EQ(canonicalPath(dotted), canonicalPath(file));
    EXPECT_FALSE(canonicalPath(file).empty());
    EXPECT_TRUE(canonicalPath(dir.path().toStdString() + "/none.kel").empty());
    EXPECT_TRUE(canonicalPath("").empty());
}

class OpenRequestChannelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        name_ = dir_.filePath(QStringLiteral("requests"));
    }

    // Runs the event loop until `count` paths arrived or a second passed.
    void waitFor(std::size_t count) {
        const QDeadlineTimer deadline(1000);
        while (received_.size() < count && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }

    QTemporaryDir dir_;
    QString name_;
    std::vector<std::string> received_;
};

TEST_F(OpenRequestChannelTest, ARequestReachesTheListeningInstance) {
    OpenRequestServer server(name_, [this](const std::string& path) { received_.push_back(path); });
    ASSERT_TRUE(server.listen());
    const std::vector<std::string> paths{"/scenes/room.kel", "/my scenes/caf\xc3\xa9.kel"};
    ASSERT_TRUE(forwardOpenRequest(name_, paths));
    waitFor(2);
    EXPECT_EQ(received_, paths);
}

TEST_F(OpenRequestChannelTest, WithNobodyListeningTheRequestIsNotTaken) {
    EXPECT_FALSE(forwardOpenRequest(name_, {"/scenes/room.kel"}, 200));
}

TEST_F(OpenRequestChannelTest, OneInstanceListensAndAStaleSocketIsTakenOver) {
    {
        QFile stale(name_);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    OpenRequestServer first(name_, [](const std::string&) {});
    EXPECT_TRUE(first.listen());
    OpenRequestServer second(name_, [](const std::string&) {});
    EXPECT_FALSE(second.listen());
    EXPECT_TRUE(first.isListening());
}

TEST_F(OpenRequestChannelTest, ACutOffOrOversizedRequestOpensOnlyCompleteNames) {
    OpenRequestServer server(name_, [this](const std::string& path) { received_.push_back(path); });
    ASSERT_TRUE(server.listen());
    {
        QLocalSocket socket;
        socket.connectToServer(name_);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(QByteArray("/a.kel\0\0/cut", 12));
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    waitFor(1);
    {
        QLocalSocket socket;
        socket.connectToServer(name_);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(QByteArray(OpenRequestServer::kMaxRequestBytes + 10, 'x').append('\0'));
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    waitFor(2);
    EXPECT_EQ(received_, (std::vector<std::string>{"/a.kel"}));
}

using DesktopOpenTest = AppTest;

TEST_F(DesktopOpenTest, TheDesktopsRequestOpensLikeFileOpen) {
    const QString name = QString::fromStdString(scratch("requests"));
    OpenRequestServer server(name,
                             [this](const std::string& path) { app().openDocumentFile(path); });
    ASSERT_TRUE(server.listen());
    ASSERT_TRUE(forwardOpenRequest(
        name, {example("cube.kel"), example("cube.kel"), scratch("missing.kel")}));
    const QDeadlineTimer deadline(1000);
    while (messages_.errors.empty() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->pathName(), example("cube.kel"));
    EXPECT_EQ(messages_.errors.size(), 1u);
}

std::string packagingFile(const std::string& name) {
    std::ifstream in(std::string(KEL_EXAMPLES_DIR) + "/../packaging/" + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DesktopEntryTest, HandsTheDesktopsFilesOverBehindTheOpenRequestOption) {
    const std::string entry = packagingFile("kel.desktop");
    ASSERT_FALSE(entry.empty());
    EXPECT_NE(entry.find(std::string("\nExec=kel ") + kOpenRequestOption + " %F\n"),
              std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/x-kel;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=kel\n"), std::string::npos);

    const std::string mime = packagingFile("kel-mime.xml");
    EXPECT_NE(mime.find("<mime-type type=\"application/x-kel\">"), std::string::npos);
    EXPECT_NE(mime.find("<comment>Kel Document</comment>"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.kel\"/>"), std::string::npos);
}

}  // namespace
}  // namespace kel::test
