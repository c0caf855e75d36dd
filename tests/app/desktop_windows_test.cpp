#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "app/help_window.h"
#include "app/kel_view.h"
#include "app/window_placement.h"

// The help pages live in the application library's resources.
static void initHelpResources() {
    Q_INIT_RESOURCE(kel);
}

namespace kel::test {
namespace {

class DesktopWindowsTest : public AppTest {
protected:
    QRect areaRect() { return QRect(QPoint(0, 0), mainFrame().mdiArea().viewport()->size()); }
    // The window list at the end of the Window menu: text and check mark of each entry.
    QStringList windowList() {
        QStringList entries;
        bool listing = false;
        for (const QAction* action : openMenu(QStringLiteral("&Window")).actions()) {
            if (action->text() == QStringLiteral("Pre&vious Window")) {
                listing = true;
            } else if (listing && !action->isSeparator()) {
                entries << (action->isChecked() ? QStringLiteral("* ") : QStringLiteral("  ")) +
                               action->text();
            }
        }
        return entries;
    }
};

TEST_F(DesktopWindowsTest, NewWindowsCascadeFullyVisibleWithASquareImagePane) {
    mainFrame().resize(1400, 1000);
    settle();
    std::vector<KelDataFrame*> frames{&open("cube.kel"), &open("room.kel")};
    for (int i = 0; i < 5; ++i) {
        choose("&Window", "&New Window");
        frames.push_back(mainFrame().activeFrame());
    }
    choose("&File", "&New\tCtrl+N");
    frames.push_back(mainFrame().activeFrame());
    settle();
    QPoint previous(-1, -1);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const KelDataFrame& frame = *frames[i];
        EXPECT_TRUE(areaRect().contains(frame.geometry()));
        const QWidget& pane = frame.renderedView();
        EXPECT_NEAR(pane.width(), pane.height(), 1);
        EXPECT_GT(pane.height(), areaRect().height() / 2);  // large, not a strip
        EXPECT_EQ(frame.treePane().width(), KelDataFrame::kTreePaneWidth);
        // Down and right by a title bar each, back to the top-left after the fifth.
        if (i % (kCascadeDepth + 1) == 0) {
            EXPECT_EQ(frame.pos(), QPoint(0, 0));
        } else {
            EXPECT_GT(frame.pos().x(), previous.x());
            EXPECT_EQ(frame.pos().x(), frame.pos().y());
        }
        previous = frame.pos();
    }
}

TEST_F(DesktopWindowsTest, CascadeKeepsWindowsUsableAndTheActiveOneOnTop) {
    KelDataFrame& cube = open("cube.kel");
    KelDataFrame& room = open("room.kel");
    const QSize usable = room.size();
    cube.resize(200, 120);  // shrunk by hand
    room.showMaximized();
    mainFrame().activateFrame(cube);
    choose("&Window", "&Cascade");
    settle();
    for (KelDataFrame* frame : {&cube, &room}) {
        EXPECT_FALSE(frame->isMaximized());
        EXPECT_EQ(frame->size(), usable);
        EXPECT_TRUE(areaRect().contains(frame->geometry()));
    }
    EXPECT_EQ(mainFrame().activeFrame(), &cube);
    EXPECT_GT(cube.pos().x(), room.pos().x());  // the active window takes the last slot
    choose("&Window", "&Tile");
    settle();
    for (KelDataFrame* frame : {&cube, &room}) {
        EXPECT_TRUE(areaRect().contains(frame->geometry()));
        EXPECT_GE(frame->width(), areaRect().width() / 2 - 1);
    }
}

TEST_F(DesktopWindowsTest, TheWindowMenuListsEveryWindowAndActivatesTheChosenOne) {
    KelDataFrame& cube = open("cube.kel");
    KelDataFrame& room = open("room.kel");
    choose("&Window", "&New Window");
    KelDataFrame& second = *mainFrame().activeFrame();
    EXPECT_EQ(windowList(), (QStringList{"  &1 cube.kel", "  &2 room.kel:1", "* &3 room.kel:2"}));
    // Maximised windows hide each other; the list still reaches every one.
    for (KelDataFrame* frame : {&cube, &room, &second}) {
        frame->showMaximized();
    }
    choose("&Window", "&1 cube.kel");
    EXPECT_EQ(mainFrame().activeFrame(), &cube);
    EXPECT_EQ(windowList(), (QStringList{"* &1 cube.kel", "  &2 room.kel:1", "  &3 room.kel:2"}));
    choose("&Window", "&3 room.kel:2");
    EXPECT_EQ(mainFrame().activeFrame(), &second);
    // Next and Previous go round the windows in order.
    choose("&Window", "Ne&xt Window");
    EXPECT_EQ(mainFrame().activeFrame(), &cube);
    choose("&Window", "Pre&vious Window");
    EXPECT_EQ(mainFrame().activeFrame(), &second);
    choose("&Window", "Pre&vious Window");
    EXPECT_EQ(mainFrame().activeFrame(), &room);
    // A closed window leaves the list, and the others are renumbered.
    cube.close();
    settle();
    EXPECT_EQ(windowList(), (QStringList{"* &1 room.kel:1", "  &2 room.kel:2"}));
}

TEST_F(DesktopWindowsTest, TheTitleNamesTheActiveDocumentOnceEvenMaximised) {
    KelDataFrame& cube = open("cube.kel");
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - cube.kel"));
    cube.showMaximized();
    settle();
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - cube.kel"));
    KelDataFrame& room = open("room.kel");
    settle();
    EXPECT_TRUE(room.isMaximized());
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - room.kel"));
    room.showNormal();
    settle();
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - room.kel"));
    app().closeAllDocuments();
    settle();
    EXPECT_EQ(mainFrame().windowTitle(), QString());
}

TEST_F(DesktopWindowsTest, TheMainWindowFitsTheScreenAndComesBackWhereItWas) {
    const QRect available = mainFrame().screen()->availableGeometry();
    EXPECT_TRUE(available.contains(mainFrame().geometry()));
    EXPECT_LE(mainFrame().width(), CMainFrame::kDefaultWidth);
    const QRect moved(available.topLeft() + QPoint(20, 30),
                      QSize(available.width() / 2, available.height() / 2));
    mainFrame().setGeometry(moved);
    app().onAppExit();
    startApp();
    EXPECT_EQ(mainFrame().geometry(), moved);

    // A geometry stored on a larger screen is brought back inside this one.
    mainFrame().setGeometry(QRect(available.topLeft() + QPoint(400, 300), available.size() * 2));
    app().onAppExit();
    startApp();
    EXPECT_TRUE(available.contains(mainFrame().geometry()))
        << mainFrame().geometry().x() << "," << mainFrame().geometry().y() << " "
        << mainFrame().geometry().width() << "x" << mainFrame().geometry().height() << " in "
        << available.width() << "x" << available.height();
}

TEST_F(DesktopWindowsTest, HelpOpensOnTheScreenAndEscapeClosesIt) {
    initHelpResources();
    choose("&Help", "&Index");
    HelpWindow* help = mainFrame().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(mainFrame().screen()->availableGeometry().contains(help->geometry()));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(help, &escape);
    EXPECT_FALSE(help->isVisible());
    choose("&Help", "&Using Help");
    EXPECT_TRUE(help->isVisible());
}

// The help states the colour range the reader takes, as the reader's own message does.
TEST_F(DesktopWindowsTest, HelpAndReaderAgreeOnTheColourRange) {
    initHelpResources();
    QFile page(QStringLiteral(":/kel/help/index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(page.readAll()).simplified();
    {
        std::ofstream scene(scratch("bright.kel"));
        scene << "1 1 1 0 0 0 0 1 0\n1 10 1\n1 65536 0 0 0 0 1\n0.5\n";
    }
    EXPECT_EQ(app().openDocumentFile(scratch("bright.kel")), nullptr);
    ASSERT_EQ(messages_.errors.size(), 1u);
    const std::string& message = messages_.errors[0];
    const std::size_t open = message.find("(0 to ");
    ASSERT_NE(open, std::string::npos) << message;
    const std::string range = message.substr(open + 1, message.find(')', open) - open - 1);
    EXPECT_EQ(range, "0 to 65535");
    EXPECT_TRUE(help.contains(QString::fromStdString("reader takes " + range))) << range;
}

TEST_F(DesktopWindowsTest, TheTreeScrollsSidewaysAndAlignsNumbersInAFixedPitchFont) {
    KelDataFrame& frame = open("cube.kel");
    auto* tree = qobject_cast<QTreeWidget*>(&frame.treePane());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->width(), KelDataFrame::kTreePaneWidth);
    QTreeWidgetItem* camera = tree->topLevelItem(0);
    camera->setExpanded(true);
    QTreeWidgetItem* viewTransform = camera->child(camera->childCount() - 1);
    viewTransform->setExpanded(true);
    settle();
    ASSERT_GT(viewTransform->childCount(), 0);
    const QTreeWidgetItem* row = viewTransform->child(0);
    // Every character of a number takes the same width, so the columns line up.
    const QFontMetrics metrics(row->font(0));
    for (const QChar c : QStringLiteral("123456789 -.")) {
        EXPECT_EQ(metrics.horizontalAdvance(c), metrics.horizontalAdvance(QLatin1Char('0')))
            << c.toLatin1();
    }
    // Labels keep the tree's own font.
    EXPECT_NE(QFontMetrics(tree->font()).horizontalAdvance(QStringLiteral("1111")),
              QFontMetrics(tree->font()).horizontalAdvance(QStringLiteral("WWWW")));
    // "   1.000    0.000 ..." is wider than the pane: the pane scrolls instead of cutting it.
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
    tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->maximum());
    EXPECT_GT(tree->horizontalScrollBar()->value(), 0);
}

namespace fs = std::filesystem;

const fs::path kPackaging = fs::path(KEL_EXAMPLES_DIR) / ".." / "packaging";

// Windows carry the application id, and the desktop entry, metainfo and thumbnailer
// shipped with the program are named by the same id, so the desktop can match them.
TEST_F(DesktopWindowsTest, TheDesktopFileNameNamesTheShippedEntry) {
    const std::string id = QGuiApplication::desktopFileName().toStdString();
    ASSERT_NE(id.find('.'), std::string::npos) << id;  // reverse-DNS, not a bare name
    EXPECT_EQ(id.substr(0, id.rfind('.')).find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ-"),
              std::string::npos);
    for (const char* suffix : {".desktop", ".metainfo.xml", ".thumbnailer"}) {
        EXPECT_TRUE(fs::exists(kPackaging / (id + suffix))) << id << suffix;
    }
    QSettings entry(QString::fromStdString((kPackaging / (id + ".desktop")).string()),
                    QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString().toStdString(), id);
    EXPECT_EQ(entry.value(QStringLiteral("Exec")).toString(),
              QStringLiteral("kel --open-request %F"));
    // X11 window managers match windows by their class, which Qt takes from the name.
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")).toString(),
              QCoreApplication::applicationName());
}

const DocumentWindowShape kShape{QMargins(4, 24, 4, 4), 150, 6};

TEST(WindowPlacementTest, NewWindowsAreInsideTheAreaWithASquareImagePane) {
    const QSize areas[] = {{1600, 950}, {800, 500}, {1000, 1400}, {640, 400}};
    for (const QSize area : areas) {
        for (int slot = 0; slot < 2 * (kCascadeDepth + 1); ++slot) {
            SCOPED_TRACE(QStringLiteral("%1x%2 slot %3")
                             .arg(area.width())
                             .arg(area.height())
                             .arg(slot)
                             .toStdString());
            const QRect rect = documentWindowRect(area, kShape, slot);
            EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(rect));
            const int paneWidth = rect.width() - 4 - 150 - 6 - 4;
            const int paneHeight = rect.height() - 24 - 4;
            EXPECT_EQ(paneWidth, paneHeight);
            // Slots step down and right by a title bar, and start over after the last.
            const int step = slot % (kCascadeDepth + 1) * cascadeStep(kShape);
            EXPECT_EQ(rect.topLeft(), QPoint(step, step));
        }
    }
    // On a 1600 x 950 area the height decides: 950 - 4 steps of 24 - 28 of frame.
    EXPECT_EQ(documentWindowRect({1600, 950}, kShape, 0).size(), QSize(4 + 150 + 6 + 826 + 4, 854));
    // Narrow and tall: the width decides.
    EXPECT_EQ(documentWindowRect({1000, 1400}, kShape, 0).width(), 1000 - 4 * 24);
}

TEST(WindowPlacementTest, AnAreaTooSmallForTheSmallestWindowShowsItsTopLeft) {
    const QRect rect = documentWindowRect({200, 100}, kShape, 3);
    EXPECT_EQ(rect.topLeft(), QPoint(0, 0));
    EXPECT_EQ(rect.height(), 24 + kMinImageSide + 4);
    EXPECT_EQ(documentWindowRect({200, 100}, kShape, -5).topLeft(), QPoint(0, 0));
}

TEST(WindowPlacementTest, TopLevelWindowsAreShrunkAndMovedOntoTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const struct {
        QSize wanted;
        QRect over;
        QRect expected;
    } cases[] = {
        {{1000, 720}, QRect(), QRect(300, 140, 1000, 720)},
        // What a scale factor of 2 made of the default: larger than the screen.
        {{2000, 1440}, QRect(), QRect(0, 0, 1600, 1000)},
        // Centred over its parent, but kept off the bottom and right edges.
        {{640, 560}, QRect(1200, 700, 400, 300), QRect(960, 440, 640, 560)},
        {{640, 560}, QRect(-900, -900, 100, 100), QRect(0, 0, 640, 560)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(placeOnScreen(c.wanted, screen, c.over), c.expected);
    }
    // A screen that does not start at the origin.
    EXPECT_EQ(placeOnScreen({3000, 100}, QRect(1600, 30, 1280, 994)), QRect(1600, 477, 1280, 100));
}
}  // namespace
}  // namespace kel::test
