// Reading speed of each mesh format, against Debian's tinyobjloader as a peer when it is
// installed. The mesh: a bumpy sphere of about 75,000 triangles whose OBJ text is about
// 2.6 MB, the size of the usual scanned bunny. Prints the median of the repetitions, the
// throughput, the peer's time and the ratio, and the memory used while reading.
//
//   kel-mesh-bench [REPETITIONS]

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "files/mesh/mesh_format.h"
#include "files/mesh/surface_builder.h"
#include "model/scene_object.h"
#include "platform/heap_policy.h"

#ifdef KEL_HAVE_TINYOBJLOADER
#include <tiny_obj_loader.h>
#endif

// Every allocation of the process is counted, so that the peak while reading is known.
namespace {
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void noteAllocation(void* p) {
    if (p != nullptr) {
        const std::size_t now = liveBytes += malloc_usable_size(p);
        std::size_t peak = peakBytes.load();
        while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
        }
    }
}
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    noteAllocation(p);
    return p;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        liveBytes -= malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

struct Triangles {
    std::vector<std::array<float, 3>> points;
    std::vector<std::array<std::uint32_t, 3>> faces;
};

// A sphere of rings x segments, pushed in and out by a few waves so that its faces meet at
// many different angles; poles are fans.
Triangles bumpySphere(int rings, int segments) {
    Triangles t;
    const double pi = 3.14159265358979323846;
    t.points.push_back({0.0f, 0.1f, 0.0f});
    for (int i = 1; i < rings; ++i) {
        const double theta = pi * i / rings;
        for (int j = 0; j < segments; ++j) {
            const double phi = 2 * pi * j / segments;
            const double r = 0.1 * (1 + 0.06 * std::sin(7 * theta) * std::cos(5 * phi) +
                                    0.02 * std::sin(23 * phi + 11 * theta));
            t.points.push_back({static_cast<float>(r * std::sin(theta) * std::cos(phi)),
                                static_cast<float>(r * std::cos(theta)),
                                static_cast<float>(r * std::sin(theta) * std::sin(phi))});
        }
    }
    t.points.push_back({0.0f, -0.1f, 0.0f});
    const auto at = [&](int i, int j) {
        return static_cast<std::uint32_t>(1 + (i - 1) * segments + (j % segments));
    };
    const auto last = static_cast<std::uint32_t>(t.points.size() - 1);
    for (int j = 0; j < segments; ++j) {
        t.faces.push_back({0, at(1, j + 1), at(1, j)});
        t.faces.push_back({last, at(rings - 1, j), at(rings - 1, j + 1)});
        for (int i = 1; i + 1 < rings; ++i) {
            t.faces.push_back({at(i, j), at(i, j + 1), at(i + 1, j + 1)});
            t.faces.push_back({at(i, j), at(i + 1, j + 1), at(i + 1, j)});
        }
    }
    return t;
}

std::string xyz(const std::array<float, 3>& p) {
    char text[96];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f", p[0], p[1], p[2]);
    return text;
}

std::string objText(const Triangles& t) {
    std::string s;
    for (const auto& p : t.points) {
        s += "v " + xyz(p) + "\n";
    }
    for (const auto& f : t.faces) {
        s += "f " + std::to_string(f[0] + 1) + " " + std::to_string(f[1] + 1) + " " +
             std::to_string(f[2] + 1) + "\n";
    }
    return s;
}

// A line of coordinates a vertex, then "3 a b c" a triangle with ids from 0: the body of
// an OFF file and of an ASCII PLY file alike.
std::string pointsThenTriangles(const Triangles& t) {
    std::string s;
    for (const auto& p : t.points) {
        s += xyz(p) + "\n";
    }
    for (const auto& f : t.faces) {
        s += "3 " + std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) +
             "\n";
    }
    return s;
}

std::string offText(const Triangles& t) {
    return "OFF\n" + std::to_string(t.points.size()) + " " + std::to_string(t.faces.size()) +
           " 0\n" + pointsThenTriangles(t);
}

std::string plyHeader(const Triangles& t, const char* format) {
    return std::string("ply\nformat ") + format + " 1.0\nelement vertex " +
           std::to_string(t.points.size()) +
           "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
           std::to_string(t.faces.size()) +
           "\nproperty list uchar int vertex_indices\nend_header\n";
}

std::string plyText(const Triangles& t) {
    return plyHeader(t, "ascii") + pointsThenTriangles(t);
}

template <typename T>
void put(std::string& s, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));  // the machine is little-endian, as the files are
    s.append(bytes, sizeof(T));
}

std::string plyBinary(const Triangles& t) {
    std::string s = plyHeader(t, "binary_little_endian");
    for (const auto& p : t.points) {
        put(s, p[0]);
        put(s, p[1]);
        put(s, p[2]);
    }
    for (const auto& f : t.faces) {
        put(s, std::uint8_t{3});
        put(s, static_cast<std::int32_t>(f[0]));
        put(s, static_cast<std::int32_t>(f[1]));
        put(s, static_cast<std::int32_t>(f[2]));
    }
    return s;
}

std::string stlText(const Triangles& t) {
    std::string s = "solid bumpy\n";
    for (const auto& f : t.faces) {
        s += " facet normal 0 0 0\n  outer loop\n";
        for (const std::uint32_t i : f) {
            s += "   vertex " + xyz(t.points[i]) + "\n";
        }
        s += "  endloop\n endfacet\n";
    }
    return s + "endsolid bumpy\n";
}

std::string stlBinary(const Triangles& t) {
    std::string s(80, ' ');
    put(s, static_cast<std::uint32_t>(t.faces.size()));
    for (const auto& f : t.faces) {
        for (int k = 0; k < 3; ++k) {
            put(s, 0.0f);
        }
        for (const std::uint32_t i : f) {
            for (const float c : t.points[i]) {
                put(s, c);
            }
        }
        put(s, std::uint16_t{0});
    }
    return s;
}

// CPU time of this process, or of its finished children: on a machine shared with other
// builds, wall time mostly measures the others. Wall time only for work that may use both
// cores (the crease rule of a large mesh), whose CPU time counts each core.
enum class Clock { Process, Children, Wall };

double nowMs(Clock clock) {
    if (clock == Clock::Wall) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    }
    if (clock == Clock::Children) {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The median time of run over the repetitions; untimed runs before each, off the clock.
double medianMs(
    int repetitions, const std::function<void()>& run, Clock clock = Clock::Process,
    const std::function<void()>& untimed = [] {}) {
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        untimed();
        const double start = nowMs(clock);
        run();
        times.push_back(nowMs(clock) - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void check(bool ok, const std::string& failure) {
    if (!ok) {
        std::cerr << "kel-mesh-bench: " << failure << "\n";
        std::exit(1);
    }
}

double parseMs(kel::MeshFormat format, const std::string& data, int repetitions) {
    return medianMs(repetitions, [&] {
        kel::MeshData mesh;
        std::string failure;
        check(kel::readMeshData(format, data, "bench", mesh, failure), failure);
    });
}

// Wall time of reading data into a model, as opening a mesh does.
double buildMsOf(kel::MeshFormat format, const std::string& data, int repetitions) {
    // Each object is destroyed off the clock, before the next is made: opening a mesh
    // destroys none.
    std::unique_ptr<kel::SceneObject> object;
    return medianMs(
        repetitions,
        [&] {
            std::string failure;
            check(kel::readMeshObject(format, data, "bench", *object, failure), failure);
        },
        Clock::Wall,
        [&] {
            object.reset();
            object = std::make_unique<kel::SceneObject>(1);
        });
}

void row(const char* name, std::size_t bytes, double ms) {
    std::printf("%-26s %9.2f MB %9.2f ms %9.0f MB/s\n", name, bytes / 1e6, ms,
                bytes / 1e6 / (ms / 1e3));
}

}  // namespace

int main(int argc, char** argv) {
    kel::prepareHeapForModels();  // as the viewer and kel-render do
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const Triangles t = bumpySphere(150, 251);
    const std::string obj = objText(t);
    std::printf(
        "mesh: %zu vertices, %zu triangles; median CPU time of %d runs (wall time for\n"
        "parse + model and the crease rule, which use both cores)\n\n",
        t.points.size(), t.faces.size(), repetitions);
    std::printf("%-26s %12s %12s %14s\n", "format", "size", "time", "throughput");

    const double objMs = parseMs(kel::MeshFormat::WavefrontObj, obj, repetitions);
    row("obj parse", obj.size(), objMs);
    const double buildMs = buildMsOf(kel::MeshFormat::WavefrontObj, obj, repetitions);
    row("obj parse + model", obj.size(), buildMs);
    {
        // Before the other formats' texts take up the heap, as the OBJ's.
        const std::string ply = plyText(t);
        row("ply ascii parse + model", ply.size(),
            buildMsOf(kel::MeshFormat::Ply, ply, repetitions));
    }
    {
        kel::MeshData mesh;
        std::string failure;
        check(kel::readMeshData(kel::MeshFormat::WavefrontObj, obj, "bench", mesh, failure),
              failure);
        const double creaseMs = medianMs(
            repetitions,
            [&] {
                std::size_t surfaces = 0;
                kel::surfaceOfEachFace(mesh, surfaces);
            },
            Clock::Wall);
        std::printf("%-26s %22.2f ms  (of parse + model)\n", "  of which crease rule", creaseMs);
    }
    const struct {
        const char* name;
        kel::MeshFormat format;
        std::string data;
    } others[] = {{"off parse", kel::MeshFormat::Off, offText(t)},
                  {"ply ascii parse", kel::MeshFormat::Ply, plyText(t)},
                  {"ply binary parse", kel::MeshFormat::Ply, plyBinary(t)},
                  {"stl ascii parse", kel::MeshFormat::Stl, stlText(t)},
                  {"stl binary parse (welded)", kel::MeshFormat::Stl, stlBinary(t)}};
    for (const auto& other : others) {
        row(other.name, other.data.size(), parseMs(other.format, other.data, repetitions));
    }

    // Memory: the peak while reading and building, against what the model holds after.
    {
        const std::size_t before = liveBytes.load();
        peakBytes = before;
        auto object = std::make_unique<kel::SceneObject>(1);
        std::string failure;
        check(kel::readMeshObject(kel::MeshFormat::WavefrontObj, obj, "bench", *object, failure),
              failure);
        const std::size_t model = liveBytes.load() - before;
        const std::size_t peak = peakBytes.load() - before;
        std::printf("\nmemory: model %.1f MB, peak while reading %.1f MB (%.2fx the model)\n",
                    model / 1e6, peak / 1e6, static_cast<double>(peak) / model);
    }

#ifdef KEL_HAVE_TINYOBJLOADER
    const double peerMs = medianMs(repetitions, [&] {
        tinyobj::ObjReader reader;
        check(reader.ParseFromString(obj, ""), reader.Error());
    });
    std::printf("\npeer tinyobjloader obj parse: %.2f ms\n", peerMs);
    std::printf("ratio kel / peer: parse %.3f, parse + model %.3f\n", objMs / peerMs,
                buildMs / peerMs);
#else
    std::printf("\npeer tinyobjloader: not installed (libtinyobjloader-dev)\n");
#endif

#ifdef KEL_RENDER_PATH
    // The whole viewer path from the command line: start, open the OBJ, render, exit.
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "kel-mesh-bench.obj";
    std::ofstream(file, std::ios::binary) << obj;
    const std::string command = std::string("'") + KEL_RENDER_PATH + "' '" + file.string() +
                                "' --size 200x200 --mode phong";
    const double processMs = medianMs(
        std::max(3, repetitions / 3),
        [&] { check(std::system(command.c_str()) == 0, "kel-render failed"); }, Clock::Children);
    std::filesystem::remove(file);
    std::printf("kel-render process (open the obj, render 200x200 phong): %.2f ms", processMs);
#ifdef KEL_HAVE_TINYOBJLOADER
    std::printf(" (%.3f x the peer's parse)", processMs / peerMs);
#endif
    std::printf("\n");
#endif
    return 0;
}
