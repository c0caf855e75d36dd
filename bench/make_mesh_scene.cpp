// Writes a bumpy sphere of about the given number of triangles as a Kel object file and a
// scene that shows it: PREFIX.obj and PREFIX.kel. With --mesh-files, the same mesh also as
// PREFIX-wavefront.obj and PREFIX.ply, for reading the formats side by side.
//
//   kel-bench-mesh TRIANGLES PREFIX [--mesh-files]

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bumpy_sphere.h"

namespace {

bool writeFile(const std::string& path, const auto& write) {
    std::ofstream out(path);
    write(out);
    out.close();
    if (!out) {
        std::cerr << "kel-bench-mesh: Could not write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool meshFiles = argc == 4 && std::string(argv[3]) == "--mesh-files";
    if (argc != 3 && !meshFiles) {
        std::cerr << "usage: kel-bench-mesh TRIANGLES PREFIX [--mesh-files]\n";
        return 2;
    }
    char* end = nullptr;
    const long long wanted = std::strtoll(argv[1], &end, 10);
    if (*end != '\0' || wanted < 20 || wanted > 50'000'000) {
        std::cerr << "kel-bench-mesh: TRIANGLES must be a number from 20 to 50000000\n";
        return 2;
    }
    const std::string prefix = argv[2];
    const auto mesh = kel::bench::makeBumpySphere(kel::bench::frequencyForTriangles(wanted));
    const std::string objectPath = prefix + ".obj";
    const std::string objectName = std::filesystem::path(objectPath).filename().string();
    if (!writeFile(objectPath,
                   [&](std::ostream& out) { kel::bench::writeObjectFile(mesh, out); }) ||
        !writeFile(prefix + ".kel",
                   [&](std::ostream& out) { kel::bench::writeSceneFile(objectName, out); })) {
        return 1;
    }
    if (meshFiles && (!writeFile(prefix + "-wavefront.obj", [&](std::ostream& out) {
            kel::bench::writeWavefrontObj(mesh, out);
        }) || !writeFile(prefix + ".ply", [&](std::ostream& out) {
            kel::bench::writeAsciiPly(mesh, out);
        }))) {
        return 1;
    }
    std::cout << prefix << ".kel: " << mesh.triangles.size() << " triangles, "
              << mesh.positions.size() << " vertices, " << std::filesystem::file_size(objectPath)
              << " bytes of object file\n";
    return 0;
}
