#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = KEL_EXAMPLES_DIR;

// kel-render opens a mesh as the viewer opens it alone; a malformed one is exit 1 with
// the viewer's message, and the tree shows the fitted scene and the mesh's surfaces.
TEST(KelRenderMeshes, OpensEachFormatAloneAndFailsOnABadOne) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "bad.ply") << "ply\nformat ascii 1.0\nelement vertex 1\n"
                                                "property float x\nend_header\n0\n";
    std::ofstream(kelRender.dir / "lines.obj") << "v 0 0 0\nv 1 0 0\nl 1 2\n";
    std::ofstream(kelRender.dir / "notes.txt") << "shopping list\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{kExamples + "/icosphere.ply", "--output", "sphere.png"}, 0, ""},
        {{kExamples + "/nut.stl", "--size", "64x64", "--mode", "gouraud"}, 0, ""},
        {{kExamples + "/torus.obj", "--size", "64x64"}, 0, ""},
        {{kExamples + "/cube.obj", "--size", "64x64"}, 0, ""},  // a Kel object file alone
        {{"bad.ply"},
         1,
         "kel-render: bad.ply, line 3: expected one vertex element with one each of x, y and "
         "z\n"},
        {{"lines.obj"},
         1,
         "kel-render: lines.obj: no faces: a file of points or lines only has nothing to "
         "shade\n"},
        {{"notes.txt"}, 1, "the file is not a Kel scene"},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << ": " << r.err;
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "") << c.args[0];
        } else {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        }
    }
    EXPECT_GT(fs::file_size(kelRender.dir / "sphere.png"), 1000u);
}

TEST(KelRenderMeshes, TheTreeOfAMeshShowsItsFittedSceneAndSurfaces) {
    const test::KelRenderSandbox kelRender;
    const test::KelRenderRun r =
        kelRender.run({kExamples + "/nut.stl", "--size", "32x32", "--tree"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("nut.stl"), std::string::npos);
    // The crease rule leaves the nut 9 surfaces: top, bottom, six flat sides and the
    // smooth hole, whose 36 facets meet at 10 degrees.
    std::size_t surfaces = 0;
    for (std::size_t at = r.out.find("\n      Surface "); at != std::string::npos;
         at = r.out.find("\n      Surface ", at + 1)) {
        ++surfaces;
    }
    EXPECT_EQ(surfaces, 9u);
}

}  // namespace
}  // namespace kel
