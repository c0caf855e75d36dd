#include "app/app_fixture.h"

#include <QMenuBar>
#include <QSettings>

#include "app/qt_test_environment.h"
#include "app/tree_pane.h"

namespace kel::test {

void AppTest::SetUp() {
    ASSERT_TRUE(profileDir_.isValid() && scratchDir_.isValid());
    savedCurrentPath_ = std::filesystem::current_path().string();
    for (const auto& entry : std::filesystem::directory_iterator(KEL_EXAMPLES_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".kel" || extension == ".obj") {
            std::filesystem::copy_file(entry.path(), scratch(entry.path().filename()));
        }
    }
    startApp();
}

void AppTest::TearDown() {
    app_.reset();
    settle();
    std::filesystem::current_path(savedCurrentPath_);
}

void AppTest::startApp() {
    app_.reset();
    settle();
    const QString profile = profileDir_.filePath(QStringLiteral("kel.ini"));
    app_ = std::make_unique<CKelApp>(CKelApp::Services{
        messages_, files_, std::make_unique<QSettings>(profile, QSettings::IniFormat),
        makeTreePaneFactory(messages_, colors_)});
    ASSERT_TRUE(app_->initInstance());
    settle();
}

KelDataFrame& AppTest::open(const std::string& name) {
    KelDataFrame* frame = app().openDocumentFile(scratch(name));
    if (frame == nullptr) {
        ADD_FAILURE() << "could not open " << name;
        throw std::runtime_error("open failed");
    }
    return *frame;
}

std::string AppTest::scratch(const std::string& name) const {
    return scratchDir_.filePath(QString::fromStdString(name)).toStdString();
}

std::string AppTest::readScratch(const std::string& name) const {
    std::ifstream in(scratch(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QMenu& AppTest::openMenu(const QString& title) {
    for (QAction* action : mainFrame().menuBar()->actions()) {
        if (action->text() == title && action->menu() != nullptr) {
            emit action->menu()->aboutToShow();
            return *action->menu();
        }
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    throw std::runtime_error("no such menu");
}

QAction& AppTest::item(const QString& menuTitle, const QString& text) {
    for (QAction* action : openMenu(menuTitle).actions()) {
        if (action->text() == text) {
            return *action;
        }
    }
    ADD_FAILURE() << "no item " << text.toStdString() << " in " << menuTitle.toStdString();
    throw std::runtime_error("no such item");
}

QStringList AppTest::itemTexts(const QString& menuTitle, bool onlyEnabled) {
    QStringList texts;
    for (const QAction* action : openMenu(menuTitle).actions()) {
        if (action->isSeparator()) {
            if (!onlyEnabled) {
                texts << QStringLiteral("-");
            }
        } else if (action->isVisible() && (!onlyEnabled || action->isEnabled())) {
            texts << action->text();
        }
    }
    return texts;
}

void AppTest::choose(const QString& menuTitle, const QString& text) {
    QAction& action = item(menuTitle, text);
    ASSERT_TRUE(action.isEnabled()) << text.toStdString() << " is disabled";
    action.trigger();
    settle();
}

void AppTest::settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace kel::test
