#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/mesh_test_support.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// A height field over a 5 x 5 grid: gentle slopes that shade smoothly and a ridge that
// stays sharp. Every coordinate is a multiple of 1/8, exact in float and in any text.
struct Mesh {
    std::vector<std::array<double, 3>> points;
    std::vector<std::array<std::uint32_t, 3>> triangles;
};

Mesh heightField() {
    Mesh mesh;
    const int n = 5;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const double ridge = i == 2 ? 1.0 : 0.125 * ((i + j) % 3);
            mesh.points.push_back({0.5 * i - 1.0, ridge, 0.5 * j - 1.0});
        }
    }
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const auto v = [&](int di, int dj) {
                return static_cast<std::uint32_t>((j + dj) * n + i + di);
            };
            mesh.triangles.push_back({v(0, 0), v(0, 1), v(1, 1)});
            mesh.triangles.push_back({v(0, 0), v(1, 1), v(1, 0)});
        }
    }
    return mesh;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string xyz(const std::array<double, 3>& p) {
    return number(p[0]) + " " + number(p[1]) + " " + number(p[2]);
}

std::string objText(const Mesh& m) {
    std::string text = "# no smoothing groups\n";
    for (const auto& p : m.points) {
        text += "v " + xyz(p) + "\n";
    }
    for (const auto& t : m.triangles) {
        text += "f " + std::to_string(t[0] + 1) + "/1 " + std::to_string(t[1] + 1) + "/1 " +
                std::to_string(t[2] + 1) + "/1\n";
    }
    return text;
}

std::string offText(const Mesh& m) {
    std::string text = "OFF\n" + std::to_string(m.points.size()) + " " +
                       std::to_string(m.triangles.size()) + " 0\n";
    for (const auto& p : m.points) {
        text += xyz(p) + "\n";
    }
    for (const auto& t : m.triangles) {
        text += "3 " + std::to_string(t[0]) + " " + std::to_string(t[1]) + " " +
                std::to_string(t[2]) + "\n";
    }
    return text;
}

std::string plyHeader(const Mesh& m, const std::string& format) {
    return "ply\nformat " + format + " 1.0\nelement vertex " + std::to_string(m.points.size()) +
           "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
           std::to_string(m.triangles.size()) +
           "\nproperty list uchar int vertex_indices\nend_header\n";
}

std::string plyText(const Mesh& m) {
    std::string text = plyHeader(m, "ascii");
    for (const auto& p : m.points) {
        text += xyz(p) + "\n";
    }
    for (const auto& t : m.triangles) {
        text += "3 " + std::to_string(t[0]) + " " + std::to_string(t[1]) + " " +
                std::to_string(t[2]) + "\n";
    }
    return text;
}

std::string plyBinary(const Mesh& m, bool big) {
    test::Bytes data(big);
    data.text(plyHeader(m, big ? "binary_big_endian" : "binary_little_endian"));
    for (const auto& p : m.points) {
        data.put(static_cast<float>(p[0]))
            .put(static_cast<float>(p[1]))
            .put(static_cast<float>(p[2]));
    }
    for (const auto& t : m.triangles) {
        data.put(std::uint8_t{3}).put(t[0]).put(t[1]).put(t[2]);
    }
    return data.str();
}

std::string stlText(const Mesh& m) {
    std::string text = "solid field\n";
    for (const auto& t : m.triangles) {
        text += "facet normal 0 0 0\nouter loop\n";
        for (const std::uint32_t i : t) {
            text += "vertex " + xyz(m.points[i]) + "\n";
        }
        text += "endloop\nendfacet\n";
    }
    return text + "endsolid field\n";
}

std::string stlBinary(const Mesh& m) {
    std::vector<std::vector<float>> triangles;
    for (const auto& t : m.triangles) {
        std::vector<float>& corners = triangles.emplace_back();
        for (const std::uint32_t i : t) {
            for (const double c : m.points[i]) {
                corners.push_back(static_cast<float>(c));
            }
        }
    }
    return test::binaryStl(triangles, "solid field");
}

std::vector<std::uint32_t> render(const std::string& path, RenderMode mode) {
    test::OpenedScene mesh(path, mode);
    ImageSurface image(240, 240);
    if (mesh.opened) {
        makePipeline(mode)->run(image, mesh.scene());
    }
    return image.pixels();
}

TEST(MeshFormatImages, TheSameMeshInEveryFormatRendersTheSamePixels) {
    const Mesh mesh = heightField();
    // The vertices are listed in the order of their first use, so STL's welding numbers
    // them as the other formats do.
    const std::vector<std::pair<std::string, std::string>> files = {
        {"field.obj", objText(mesh)},
        {"field.off", offText(mesh)},
        {"field.ply", plyText(mesh)},
        {"field-le.ply", plyBinary(mesh, false)},
        {"field-be.ply", plyBinary(mesh, true)},
        {"field.stl", stlText(mesh)},
        {"field-binary.stl", stlBinary(mesh)}};
    const fs::path dir = fs::temp_directory_path() / ("kel-formats-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const auto& [name, data] : files) {
        std::ofstream(dir / name, std::ios::binary) << data;
    }
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        const std::vector<std::uint32_t> expected = render((dir / "field.obj").string(), mode);
        // Not a blank image: the mesh is in view.
        std::size_t drawn = 0;
        for (const std::uint32_t pixel : expected) {
            drawn += pixel != expected.front() ? 1 : 0;
        }
        EXPECT_GT(drawn, 1000u);
        for (const auto& [name, data] : files) {
            EXPECT_TRUE(render((dir / name).string(), mode) == expected)
                << name << " in " << renderModeName(mode);
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace kel
