#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>

#include "app/app_fixture.h"
#include "app/window_placement.h"

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

// The main window fits the screen and comes back where it was. New document windows cascade
// fully visible with a large square image pane; Cascade and Tile keep them usable, and the
// Window menu reaches every one, maximised or not.
TEST_F(DesktopWindowsTest, WindowsFitCascadeTileAndAreReachedFromTheWindowMenu) {
    const QRect available = mainFrame().screen()->availableGeometry();
    EXPECT_TRUE(available.contains(mainFrame().geometry()));
    EXPECT_LE(mainFrame().width(), CMainFrame::kDefaultWidth);
    // Kept across runs; one stored on a larger screen is brought back inside this one.
    for (const QRect stored :
         {QRect(available.topLeft() + QPoint(20, 30), available.size() / 2),
          QRect(available.topLeft() + QPoint(400, 300), available.size() * 2)}) {
        mainFrame().setGeometry(stored);
        app().onAppExit();
        startApp();
        EXPECT_TRUE(available.contains(mainFrame().geometry()));
        EXPECT_EQ(mainFrame().geometry() == stored, available.contains(stored));
    }
    mainFrame().resize(1400, 1000);
    settle();
    KelDataFrame& cube = open("cube.kel");
    KelDataFrame& room = open("room.kel");
    std::vector<KelDataFrame*> frames{&cube, &room};
    for (int i = 0; i <= kCascadeDepth; ++i) {
        frames.push_back(app().onWindowNew());
    }
    choose("&File", "&New\tCtrl+N");
    frames.push_back(mainFrame().activeFrame());
    settle();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const KelDataFrame& frame = *frames[i];
        EXPECT_TRUE(areaRect().contains(frame.geometry()));
        const QWidget& pane = frame.renderedView();
        EXPECT_NEAR(pane.width(), pane.height(), 1);
        EXPECT_GT(pane.height(), areaRect().height() / 2);  // large, not a strip
        EXPECT_EQ(frame.treePane().width(), KelDataFrame::kTreePaneWidth);
        // Back to the top-left after the fifth; the steps are pinned by the placement test.
        EXPECT_EQ(frame.pos() == QPoint(0, 0), i % (kCascadeDepth + 1) == 0);
    }
    for (std::size_t i = 3; i < frames.size(); ++i) {
        frames[i]->close();
    }
    settle();
    KelDataFrame& second = *frames[2];
    const QSize usable = room.size();
    cube.resize(200, 120);  // shrunk by hand
    room.showMaximized();
    mainFrame().activateFrame(cube);
    choose("&Window", "&Cascade");
    for (KelDataFrame* frame : {&cube, &room}) {
        EXPECT_FALSE(frame->isMaximized());
        EXPECT_EQ(frame->size(), usable);
    }
    EXPECT_GT(cube.pos().x(), room.pos().x());  // the active window takes the last slot
    choose("&Window", "&Tile");
    EXPECT_GE(cube.width(), areaRect().width() / 2 - 1);
    EXPECT_TRUE(areaRect().contains(cube.geometry()));

    EXPECT_EQ(windowList(), (QStringList{"* &1 cube.kel", "  &2 room.kel:1", "  &3 room.kel:2"}));
    for (KelDataFrame* frame : {&cube, &room, &second}) {
        frame->showMaximized();  // hiding each other; the list still reaches every one
    }
    choose("&Window", "&3 room.kel:2");
    EXPECT_EQ(mainFrame().activeFrame(), &second);
    EXPECT_EQ(windowList(), (QStringList{"  &1 cube.kel", "  &2 room.kel:1", "* &3 room.kel:2"}));
    // Next and Previous go round the windows in order.
    for (const auto& [step, frame] :
         {std::pair{"Ne&xt Window", &cube}, std::pair{"Pre&vious Window", &second},
          std::pair{"Pre&vious Window", &room}}) {
        choose("&Window", step);
        EXPECT_EQ(mainFrame().activeFrame(), frame) << step;
    }
    // A closed window leaves the list, and the others are renumbered.
    cube.close();
    settle();
    EXPECT_EQ(windowList(), (QStringList{"* &1 room.kel:1", "  &2 room.kel:2"}));
}

// X11 window managers match windows to the shipped desktop entry by their class, which Qt
// takes from the application name; the entry is named by the application id.
TEST_F(DesktopWindowsTest, TheShippedDesktopEntryNamesTheWindowClassIconAndCommand) {
    const QString id = QGuiApplication::desktopFileName();
    QSettings entry(QStringLiteral(KEL_EXAMPLES_DIR "/../packaging/%1.desktop").arg(id),
                    QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), id);
    EXPECT_EQ(entry.value(QStringLiteral("Exec")).toString(), "kel --open-request %F");
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")).toString(),
              QCoreApplication::applicationName());
}

const DocumentWindowShape kShape{QMargins(4, 24, 4, 4), 150, 6};

TEST(WindowPlacementTest, WindowsAreInsideTheAreaOrScreenWithASquareImagePane) {
    for (const QSize area :
         {QSize(1600, 950), QSize(800, 500), QSize(1000, 1400), QSize(640, 400)}) {
        for (int slot = 0; slot < 2 * (kCascadeDepth + 1); ++slot) {
            SCOPED_TRACE(testing::Message() << area.width() << "x" << area.height() << " " << slot);
            const QRect rect = documentWindowRect(area, kShape, slot);
            EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(rect));
            EXPECT_EQ(rect.width() - 4 - 150 - 6 - 4, rect.height() - 24 - 4);
            // Slots step down and right by a title bar, and start over after the last.
            const int step = slot % (kCascadeDepth + 1) * cascadeStep(kShape);
            EXPECT_EQ(rect.topLeft(), QPoint(step, step));
        }
    }
    // On a 1600 x 950 area the height decides: 950 - 4 steps of 24 - 28 of frame.
    EXPECT_EQ(documentWindowRect({1600, 950}, kShape, 0).size(), QSize(4 + 150 + 6 + 826 + 4, 854));
    // Narrow and tall: the width decides.
    EXPECT_EQ(documentWindowRect({1000, 1400}, kShape, 0).width(), 1000 - 4 * 24);
    // Too small for the smallest window: its top-left shows, whatever the slot.
    for (const int slot : {3, -5}) {
        const QRect rect = documentWindowRect({200, 100}, kShape, slot);
        EXPECT_EQ(rect.topLeft(), QPoint(0, 0));
        EXPECT_EQ(rect.height(), 24 + kMinImageSide + 4);
    }

    // Top-level windows are shrunk and moved onto the screen.
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
