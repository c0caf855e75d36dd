#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/about_dialog.h"
#include "app/app_fixture.h"
#include "app/help_window.h"
#include "app/main_frame.h"

namespace kel::test {
namespace {

using HelpTest = AppTest;

TEST_F(HelpTest, IndexAndUsingHelpShowTheBundledPagesInOneWindow) {
    EXPECT_EQ(mainFrame().helpWindow(), nullptr);
    choose("&Help", "&Index");
    HelpWindow* help = mainFrame().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->source(), QUrl(QString::fromLatin1(HelpWindow::kIndexPage)));
    const QString index = help->toPlainText();
    for (const char* topic : {"Render modes", "Wireframe", "Gouraud", "Phong", "Do Culling",
                              "Scene file", "Object file", "pyramid.obj", "Camera", "Frustum",
                              "Ambient Light", "Lighting", "Split", "recently used", "foo"}) {
        EXPECT_TRUE(index.contains(QString::fromLatin1(topic))) << topic;
    }
    choose("&Help", "&Using Help");
    EXPECT_EQ(mainFrame().helpWindow(), help);
    EXPECT_EQ(help->source(), QUrl(QString::fromLatin1(HelpWindow::kUsingHelpPage)));
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Using Help")));
    // Closing the main window takes the help with it.
    mainFrame().close();
    EXPECT_FALSE(help->isVisible());
}

TEST(HelpPagesTest, EveryLinkOfTheBundledPagesLeadsToABundledPage) {
    for (const char* page : {HelpWindow::kIndexPage, HelpWindow::kUsingHelpPage}) {
        HelpWindow help;
        help.setSource(QUrl(QString::fromLatin1(page)));
        ASSERT_FALSE(help.toPlainText().isEmpty()) << page;
        const QString html = help.toHtml();
        qsizetype at = 0;
        while ((at = html.indexOf(QStringLiteral("href=\""), at)) >= 0) {
            at += 6;
            const QString target = html.mid(at, html.indexOf(QLatin1Char('"'), at) - at);
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            if (!file.isEmpty()) {
                EXPECT_TRUE(QFile::exists(QStringLiteral(":/kel/help/") + file))
                    << target.toStdString();
            }
        }
    }
}

TEST(AboutDialogTest, ShowsTheIconTheVersionAndOk) {
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Kel"));
    const auto* text = about.findChild<QLabel*>(QStringLiteral("aboutText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Kel Version 1.0.0.2"));
    const auto* icon = about.findChild<QLabel*>(QStringLiteral("aboutIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
    buttons[0]->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(HelpTest, AboutRunsModallyUntilOk) {
    QString seenTitle;
    QTimer::singleShot(0, [&seenTitle] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        seenTitle = modal->windowTitle();
        const QList<QPushButton*> buttons = modal->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        buttons[0]->click();
    });
    choose("&Help", "&About Kel...");
    EXPECT_EQ(seenTitle, QStringLiteral("About Kel"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ProgramIconTest, IsBundled) {
    EXPECT_FALSE(QPixmap(QStringLiteral(":/kel/kel.png")).isNull());
}

}  // namespace
}  // namespace kel::test
