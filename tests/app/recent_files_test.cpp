#include <filesystem>

#include "app/app_fixture.h"

namespace kel::test {
namespace {

using RecentFilesTest = AppTest;

TEST_F(RecentFilesTest, OpenedFilesFillTheMenuMostRecentFirstAndTrimToFour) {
    std::vector<QString> texts;
    for (const char* name : {"a.kel", "b.kel", "c.kel", "d.kel", "e.kel"}) {
        std::filesystem::copy_file(scratch("cube.kel"), scratch(name));
        open(name);
        texts.insert(texts.begin(), QString::fromStdString(scratch(name)));
    }
    const QStringList menu = itemTexts("&File");
    EXPECT_EQ(menu.mid(6), (QStringList{"-", "&1 " + texts[0], "&2 " + texts[1], "&3 " + texts[2],
                                        "&4 " + texts[3], "-", "E&xit"}));
    // Bringing an open file forward makes it the most recent again.
    open("c.kel");
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("c.kel"));
    EXPECT_EQ(app().recentFiles().entries().size(), 4u);
}

TEST_F(RecentFilesTest, TheListIsKeptAcrossRunsAndAnEntryThatNoLongerOpensLeavesIt) {
    std::filesystem::copy_file(scratch("cube.kel"), scratch("gone.kel"));
    open("gone.kel");
    open("cube.kel");
    open("room.kel");
    startApp();
    EXPECT_EQ(
        app().recentFiles().entries(),
        (std::vector<std::string>{scratch("room.kel"), scratch("cube.kel"), scratch("gone.kel")}));
    choose("&File", QString::fromStdString("&2 " + scratch("cube.kel")));
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->pathName(), scratch("cube.kel"));
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("cube.kel"));

    std::filesystem::remove(scratch("gone.kel"));
    choose("&File", QString::fromStdString("&3 " + scratch("gone.kel")));
    EXPECT_EQ(messages_.errors.size(), 1u);
    startApp();
    EXPECT_EQ(app().recentFiles().entries(),
              (std::vector<std::string>{scratch("cube.kel"), scratch("room.kel")}));
}

}  // namespace
}  // namespace kel::test
