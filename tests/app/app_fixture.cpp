#include "app/app_fixture.h"

#include <QApplication>
#include <QMenuBar>
#include <QWidget>

#include "app/main_frame.h"
#include "app/tree_pane.h"

namespace kel::test {

void AppTest::SetUp() {
    ASSERT_TRUE(profileDir_.isValid());
    ASSERT_TRUE(scratchDir_.isValid());
    savedCurrentPath_ = std::filesystem::current_path();
    const std::filesystem::path examples(KEL_EXAMPLES_DIR);
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".kel" || extension == ".obj") {
            std::filesystem::copy_file(entry.path(),
                                       std::filesystem::path(scratch(entry.path().filename())));
        }
    }
    startApp();
}

void AppTest::TearDown() {
    stopApp();
    std::filesystem::current_path(savedCurrentPath_);
}

void AppTest::startApp() {
    stopApp();
    const QString profile = profileDir_.filePath(QStringLiteral("kel.ini"));
    app_ = std::make_unique<CKelApp>(CKelApp::Services{
        messages_, files_, std::make_unique<QSettings>(profile, QSettings::IniFormat),
        makeTreePaneFactory(messages_, colors_)});
    ASSERT_TRUE(app_->initInstance());
    settle();
}

void AppTest::stopApp() {
    app_.reset();
    settle();
}

std::string AppTest::example(const std::string& name) const {
    return scratch(name);
}

std::string AppTest::scratch(const std::string& name) const {
    return scratchDir_.filePath(QString::fromStdString(name)).toStdString();
}

QStringList AppTest::menuTitles() {
    QStringList titles;
    for (const QAction* action : mainFrame().menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

QMenu& AppTest::menu(const QString& title) {
    for (QAction* action : mainFrame().menuBar()->actions()) {
        if (action->text() == title && action->menu() != nullptr) {
            return *action->menu();
        }
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    throw std::runtime_error("no such menu");
}

QMenu& AppTest::openMenu(const QString& title) {
    QMenu& found = menu(title);
    emit found.aboutToShow();
    return found;
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

QStringList AppTest::itemTexts(const QString& menuTitle) {
    QStringList texts;
    for (const QAction* action : openMenu(menuTitle).actions()) {
        if (action->isSeparator()) {
            texts << QStringLiteral("-");
        } else if (action->isVisible()) {
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
