// One QApplication for the whole test program, on the offscreen platform so that no
// display is needed, with the viewer's bundled resources loaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

// The resource initialiser must be named from the global namespace.
static void loadResources() {
    Q_INIT_RESOURCE(kel);
}

namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        application_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
        loadResources();
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "test_app";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
