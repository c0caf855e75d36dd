#include <filesystem>

#include "app/app_fixture.h"
#include "app/kel_data_frame.h"
#include "app/main_frame.h"
#include "app/recent_file_list.h"
#include "files/kel_doc.h"

namespace kel::test {
namespace {

TEST(RecentFileListTest, KeepsFourMostRecentFirstWithoutRepeats) {
    RecentFileList list;
    for (const char* path : {"/a.kel", "/b.kel", "/c.kel", "/d.kel", "/e.kel"}) {
        list.add(path);
    }
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"/e.kel", "/d.kel", "/c.kel", "/b.kel"}));
    list.add("/c.kel");
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"/c.kel", "/e.kel", "/d.kel", "/b.kel"}));
    list.add("");
    EXPECT_EQ(list.entries().size(), 4u);
    list.remove("/e.kel");
    list.remove("/not-there.kel");
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"/c.kel", "/d.kel", "/b.kel"}));
}

TEST(RecentFileListTest, AssignDropsBlanksAndRepeatsAndTrimsToCapacity) {
    RecentFileList list(2);
    list.assign({"", "/x.kel", "/x.kel", "/y.kel", "/z.kel"});
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"/x.kel", "/y.kel"}));
    list.assign({});
    EXPECT_TRUE(list.empty());
}

TEST(RecentFileListTest, MenuTextNumbersFromOneAndKeepsAmpersandsLiteral) {
    EXPECT_EQ(recentFileMenuText(0, "/scenes/room.kel"), "&1 /scenes/room.kel");
    EXPECT_EQ(recentFileMenuText(3, "/R&D/a&&b.kel"), "&4 /R&&D/a&&&&b.kel");
}

using RecentFilesTest = AppTest;

TEST_F(RecentFilesTest, OpenedFilesFillTheMenuMostRecentFirstAndTrimToFour) {
    EXPECT_EQ(itemTexts("&File").filter(QStringLiteral("Recent File")).size(), 1);
    EXPECT_FALSE(item("&File", "Recent File").isEnabled());
    std::vector<std::string> paths;
    for (const char* name : {"a.kel", "b.kel", "c.kel", "d.kel", "e.kel"}) {
        std::filesystem::copy_file(example("cube.kel"), scratch(name));
        paths.push_back(scratch(name));
        ASSERT_NE(app().openDocumentFile(paths.back()), nullptr);
    }
    const QStringList texts = itemTexts("&File");
    const QStringList expected{
        QString::fromStdString("&1 " + paths[4]), QString::fromStdString("&2 " + paths[3]),
        QString::fromStdString("&3 " + paths[2]), QString::fromStdString("&4 " + paths[1])};
    EXPECT_EQ(texts.mid(6, 4), expected);
    EXPECT_FALSE(texts.contains(QStringLiteral("Recent File")));
    EXPECT_EQ(texts.at(10), QStringLiteral("-"));
    EXPECT_EQ(texts.at(11), QStringLiteral("E&xit"));

    // Bringing an open file forward makes it the most recent again.
    app().openDocumentFile(paths[2]);
    EXPECT_EQ(app().recentFiles().entries().front(), paths[2]);
    EXPECT_EQ(app().recentFiles().entries().size(), 4u);
}

TEST_F(RecentFilesTest, TheListIsKeptAcrossRuns) {
    ASSERT_NE(app().openDocumentFile(example("cube.kel")), nullptr);
    ASSERT_NE(app().openDocumentFile(example("room.kel")), nullptr);
    startApp();
    EXPECT_TRUE(app().documents().empty());
    EXPECT_EQ(app().recentFiles().entries(),
              (std::vector<std::string>{example("room.kel"), example("cube.kel")}));
    choose("&File", QString::fromStdString("&2 " + example("cube.kel")));
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->pathName(), example("cube.kel"));
    EXPECT_EQ(app().recentFiles().entries().front(), example("cube.kel"));
}

TEST_F(RecentFilesTest, AnEntryThatNoLongerOpensIsReportedAndLeavesTheList) {
    std::filesystem::copy_file(example("cube.kel"), scratch("gone.kel"));
    ASSERT_NE(app().openDocumentFile(scratch("gone.kel")), nullptr);
    choose("&File", "&Close");
    std::filesystem::remove(scratch("gone.kel"));
    choose("&File", QString::fromStdString("&1 " + scratch("gone.kel")));
    EXPECT_EQ(messages_.errors.size(), 1u);
    EXPECT_TRUE(app().recentFiles().empty());
    startApp();
    EXPECT_TRUE(app().recentFiles().empty());
}

}  // namespace
}  // namespace kel::test
