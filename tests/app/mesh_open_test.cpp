#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "files/mesh/mesh_format.h"
#include "model/scene.h"

namespace kel::test {
namespace {

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(AppTest, SavingAnOpenedMeshAsksForASceneNameBesideIt) {
    std::ofstream(scratch("part.obj")) << kTriangle;
    files_.openAnswer = scratch("part.obj");
    choose("&File", "&Open...\tCtrl+O");
    KelDataFrame* frame = mainFrame().activeFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "part.obj");
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("part.obj"));

    // Cancelled: nothing written, the mesh stays the document's file.
    choose("&File", "&Save\tCtrl+S");
    files_.saveAnswer = scratch("part.kel");
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions,
              (std::vector<std::string>{scratch("part.kel"), scratch("part.kel")}));
    EXPECT_EQ(contents(scratch("part.obj")), kTriangle);
    EXPECT_NE(contents(scratch("part.kel")).find("\n1\npart.obj\n"), std::string::npos);
    EXPECT_EQ(frame->windowTitle(), "part.kel");
    // Saved as a scene, Save writes the scene without asking again.
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions.size(), 2u);
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(AppTest, ClosingAnEditedMeshAsksWhereToSaveTheScene) {
    std::ofstream(scratch("part.stl"))
        << "solid p\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
           "vertex 0 1 0\nendloop\nendfacet\nendsolid p\n";
    KelDataFrame& frame = open("part.stl");
    frame.document().setModified(true);
    messages_.answers = {true, true};
    choose("&File", "&Close");  // cancelled: the document stays
    EXPECT_NE(mainFrame().activeFrame(), nullptr);
    files_.saveAnswer = scratch("kept.kel");
    choose("&File", "&Close");
    settle();
    EXPECT_EQ(mainFrame().activeFrame(), nullptr);
    EXPECT_EQ(files_.saveSuggestions,
              (std::vector<std::string>{scratch("part.kel"), scratch("part.kel")}));
    EXPECT_NE(contents(scratch("kept.kel")).find("\npart.stl\n"), std::string::npos);
}

TEST_F(AppTest, AMalformedMeshOpensNoWindowAndSaysWhere) {
    std::ofstream(scratch("bad.off")) << "OFF\n3 1 0\n0 0 0\n1 0 0\n";
    EXPECT_EQ(app().openDocumentFile(scratch("bad.off")), nullptr);
    EXPECT_EQ(mainFrame().activeFrame(), nullptr);
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(messages_.errors[0].rfind("bad.off, line ", 0), 0u) << messages_.errors[0];
}

// Every pattern the open dialog offers opens through the document that pattern promises.
TEST(OpenFilter, OffersScenesMeshesEachFormatAndAllFiles) {
    const QStringList filters = QString::fromLatin1(kOpenFileFilter).split(";;");
    ASSERT_EQ(filters.size(), 7);
    EXPECT_TRUE(filters.front().startsWith("Scenes and meshes ("));
    EXPECT_EQ(filters.back(), "All files (*)");
    for (const QString& filter : filters.mid(0, 6)) {
        const QString patterns = filter.section('(', 1).chopped(1);
        for (const QString& pattern : patterns.split(' ')) {
            std::string name(1, 'x');
            name.append(pattern.mid(1).toStdString());
            EXPECT_TRUE(name == "x.kel" || meshFormatOfName(name).has_value()) << name;
        }
    }
}

}  // namespace
}  // namespace kel::test
