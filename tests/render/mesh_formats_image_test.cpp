#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>

#include "files/mesh_test_support.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// A height field over a 5 x 5 grid: gentle slopes that shade smoothly and a ridge that
// stays sharp. Every coordinate is a multiple of 1/8, exact in float and in any text.
struct Mesh {
    std::vector<std::array<double, 3>> points;
    std::vector<std::array<int, 3>> triangles;
};

Mesh heightField() {
    Mesh mesh;
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 5; ++i) {
            const double ridge = i == 2 ? 1.0 : 0.125 * ((i + j) % 3);
            mesh.points.push_back({0.5 * i - 1.0, ridge, 0.5 * j - 1.0});
            if (i < 4 && j < 4) {
                const int v = j * 5 + i;
                mesh.triangles.push_back({v, v + 5, v + 6});
                mesh.triangles.push_back({v, v + 6, v + 1});
            }
        }
    }
    return mesh;
}

// A text format: its header, then a line per point and one per triangle, with prefixes.
// Appended piece by piece: GCC 12 takes a chain of + for an overflow here.
std::string meshText(const Mesh& m, const std::string& header, const std::string& point,
                     const std::string& face, int firstIndex) {
    std::string text = header;
    const auto line = [&text](const std::string& prefix, const auto& values, int offset) {
        text += prefix;
        for (const auto v : values) {
            text += ' ';
            text += std::to_string(v + offset);
        }
        text += '\n';
    };
    for (const auto& p : m.points) {
        line(point, p, 0);
    }
    for (const auto& t : m.triangles) {
        line(face, t, firstIndex);
    }
    return text;
}

std::string stlBinary(const Mesh& m) {
    std::vector<std::vector<float>> triangles;
    for (const auto& t : m.triangles) {
        std::vector<float>& corners = triangles.emplace_back();
        for (const int i : t) {
            for (const double c : m.points[static_cast<std::size_t>(i)]) {
                corners.push_back(static_cast<float>(c));
            }
        }
    }
    return test::binaryStl(triangles, "solid field");
}

std::vector<std::uint32_t> render(const fs::path& path, RenderMode mode) {
    test::OpenedScene mesh(path.string(), mode);
    ImageSurface image(240, 240);
    if (mesh.opened) {
        makePipeline(mode)->run(image, mesh.scene());
    }
    return image.pixels();
}

// PLY reads as OFF does (pinned with the readers) and opens whole in the golden images.
TEST(MeshFormatImages, TheSameMeshInEveryFormatRendersTheSamePixels) {
    const Mesh mesh = heightField();
    // The vertices are listed in the order of their first use, so STL's welding numbers
    // them as the other formats do.
    const std::string counts =
        std::to_string(mesh.points.size()) + " " + std::to_string(mesh.triangles.size());
    const std::vector<std::pair<std::string, std::string>> files = {
        {"field.obj", meshText(mesh, "# no smoothing groups\n", "v", "f", 1)},
        {"field.off", meshText(mesh, "OFF\n" + counts + " 0\n", "", "3", 0)},
        {"field.stl", stlBinary(mesh)}};
    const fs::path dir = fs::temp_directory_path() / ("kel-formats-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const auto& [name, data] : files) {
        std::ofstream(dir / name, std::ios::binary) << data;
    }
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        const std::vector<std::uint32_t> expected = render(dir / "field.obj", mode);
        // Not a blank image: the mesh is in view.
        EXPECT_GT(std::count_if(expected.begin(), expected.end(),
                                [&](std::uint32_t pixel) { return pixel != expected.front(); }),
                  1000);
        for (const auto& [name, data] : files) {
            EXPECT_TRUE(render(dir / name, mode) == expected)
                << name << " in " << renderModeName(mode);
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace kel
