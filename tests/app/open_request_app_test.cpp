#include <sys/stat.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <chrono>
#include <string>

#include "app/app_fixture.h"
#include "app/open_request_channel.h"

namespace kel::test {
namespace {

using OpenRequestAppTest = AppTest;

// A request naming a FIFO or a device is refused at once: the viewer never waits on it.
TEST_F(OpenRequestAppTest, RequestNamingAFifoOrDeviceIsRefusedWithoutWaiting) {
    const std::string fifo = scratch("pipe.kel");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QTemporaryDir socketDir;
    ASSERT_TRUE(socketDir.isValid());
    const QString name = socketDir.filePath(QStringLiteral("requests"));
    std::size_t handled = 0;
    OpenRequestServer server(name, [this, &handled](const std::string& path) {
        app().openDocumentFile(path);
        ++handled;
    });
    ASSERT_TRUE(server.listen());

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(forwardOpenRequest(name, {fifo, "/dev/zero", scratch("cube.kel")}));
    const QDeadlineTimer deadline(2000);
    while (handled < 3 && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_EQ(handled, 3u);
    EXPECT_EQ(messages_.errors,
              (std::vector<std::string>{"Cannot open " + fifo + ": not a regular file",
                                        "Cannot open /dev/zero: not a regular file"}));
    EXPECT_EQ(app().documents().size(), 1u);  // the scene after them still opens
}

}  // namespace
}  // namespace kel::test
