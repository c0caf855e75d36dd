// The benchmark peer: renders a Kel scene with Mesa's software rasteriser llvmpipe
// (OSMesa, 2 threads unless LP_NUM_THREADS says otherwise) with the scene's camera,
// frustum, light and materials, and prints the median time per frame.
//
//   kel-bench-llvmpipe SCENE.kel [--mode wireframe|gouraud|phong] [--size SIDE]
//                      [--frames N] [--output FILE.png]
//
// Gouraud is OpenGL's fixed-function smooth shading (lit per vertex); Phong is a GLSL
// shader with Kel's per-pixel ambient, diffuse and half-vector specular terms. Both test
// depth and cull back faces; wireframe outlines every polygon, as Kel's does with
// culling off. The image is written as kel-render writes one: the viewport of SIDE x SIDE
// at a margin of 10 pixels inside a black frame on white.

// osmesa.h brings gl.h, which glext.h needs first.
#define GL_GLEXT_PROTOTYPES 1
// clang-format off
#include <GL/osmesa.h>
#include <GL/glext.h>
// clang-format on

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_document.h"
#include "bench_stats.h"
#include "gl_clip_matrix.h"
#include "model/camera.h"
#include "model/device_mapping.h"
#include "model/light.h"
#include "model/matrix.h"
#include "model/scene.h"
#include "peer_geometry.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"

namespace {

constexpr const char* kProgram = "kel-bench-llvmpipe";
constexpr int kMargin = 10;

struct PeerOptions {
    std::string scenePath;
    kel::RenderMode mode = kel::RenderMode::Phong;
    int side = 1000;
    int frames = 20;
    std::string outputPath;
};

std::optional<PeerOptions> parseOptions(int argc, char** argv) {
    PeerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--mode" && hasValue) {
            const auto mode = kel::renderModeFromName(argv[++i]);
            if (!mode) {
                return std::nullopt;
            }
            options.mode = *mode;
        } else if (arg == "--size" && hasValue) {
            options.side = std::atoi(argv[++i]);
        } else if (arg == "--frames" && hasValue) {
            options.frames = std::atoi(argv[++i]);
        } else if (arg == "--output" && hasValue) {
            options.outputPath = argv[++i];
        } else if (arg.starts_with("--") || !options.scenePath.empty()) {
            return std::nullopt;
        } else {
            options.scenePath = arg;
        }
    }
    if (options.scenePath.empty() || options.side < 1 || options.side > 8192 ||
        options.frames < 1) {
        return std::nullopt;
    }
    return options;
}

// An OSMesa context drawing into memory we own; released in reverse order.
class OffscreenContext {
public:
    explicit OffscreenContext(int side)
        : side_(side), pixels_(static_cast<std::size_t>(side) * static_cast<std::size_t>(side)) {
        const int attributes[] = {OSMESA_FORMAT,
                                  OSMESA_RGBA,
                                  OSMESA_DEPTH_BITS,
                                  16,
                                  OSMESA_STENCIL_BITS,
                                  0,
                                  OSMESA_PROFILE,
                                  OSMESA_COMPAT_PROFILE,
                                  0};
        context_ = OSMesaCreateContextAttribs(attributes, nullptr);
        if (context_ != nullptr &&
            OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, side, side) == 0) {
            OSMesaDestroyContext(context_);
            context_ = nullptr;
        }
    }
    ~OffscreenContext() {
        if (context_ != nullptr) {
            OSMesaDestroyContext(context_);
        }
    }
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool valid() const { return context_ != nullptr; }
    // Pixel (x, y) counted from the top row, as 0x00BBGGRR (OSMesa's rows start at the
    // bottom; RGBA bytes in memory).
    std::uint32_t pixel(int x, int y) const {
        return pixels_[static_cast<std::size_t>(side_ - 1 - y) * static_cast<std::size_t>(side_) +
                       static_cast<std::size_t>(x)] &
               0x00FFFFFFu;
    }

private:
    int side_;
    std::vector<std::uint32_t> pixels_;
    OSMesaContext context_ = nullptr;
};

// Buffers of one batch and the material it is drawn with.
struct GpuBatch {
    GLuint buffers[2] = {0, 0};
    GLsizei indexCount = 0;
    kel::bench::PeerBatch material;  // vertices and triangles dropped after upload
};

std::vector<GpuBatch> upload(std::vector<kel::bench::PeerBatch> batches) {
    std::vector<GpuBatch> gpu(batches.size());
    for (std::size_t i = 0; i < batches.size(); ++i) {
        GpuBatch& g = gpu[i];
        glGenBuffers(2, g.buffers);
        glBindBuffer(GL_ARRAY_BUFFER, g.buffers[0]);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(batches[i].vertices.size() * sizeof(float)),
                     batches[i].vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(batches[i].triangles.size() * sizeof(std::uint32_t)),
                     batches[i].triangles.data(), GL_STATIC_DRAW);
        g.indexCount = static_cast<GLsizei>(batches[i].triangles.size());
        g.material = std::move(batches[i]);
        g.material.vertices = {};
        g.material.triangles = {};
    }
    return gpu;
}

constexpr const char* kPhongVertexShader = R"(#version 120
varying vec3 world;
varying vec3 normal;
void main() {
    world = gl_Vertex.xyz;
    normal = gl_Normal;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
)";

// Kel's Phong terms per pixel: the normal interpolated and not renormalised, the view
// vector from the eye, the half vector, then ambient + diffuse on the lit colour and the
// highlight in the light's colour, each channel truncated and capped.
constexpr const char* kPhongFragmentShader = R"(#version 120
uniform vec3 eye;
uniform vec3 lightDirection;
uniform vec3 lightColor;
uniform float intensity;
uniform float ambient;
uniform vec3 litColor;
uniform float diffuse;
uniform float specular;
uniform float shininess;
varying vec3 world;
varying vec3 normal;
void main() {
    vec3 v = eye - world;
    float lv = length(v);
    if (lv > 0.0) v /= lv;
    vec3 h = lightDirection + v;
    float lh = length(h);
    float highlight = 0.0;
    if (lh > 0.0) {
        float s = dot(normal, h / lh);
        if (s >= 0.0) highlight = specular * pow(s, shininess);
    }
    float d = dot(normal, lightDirection);
    float diff = d < 0.0 ? 0.0 : diffuse * d;
    vec3 value = intensity * (litColor * diff + lightColor * highlight) + ambient * litColor;
    gl_FragColor = vec4(floor(min(value, vec3(1.0)) * 255.0) / 255.0, 1.0);
}
)";

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::cerr << kProgram << ": shader does not compile: " << log << "\n";
    }
    return shader;
}

GLuint makePhongProgram() {
    const GLuint program = glCreateProgram();
    const GLuint shaders[] = {compile(GL_VERTEX_SHADER, kPhongVertexShader),
                              compile(GL_FRAGMENT_SHADER, kPhongFragmentShader)};
    for (const GLuint shader : shaders) {
        glAttachShader(program, shader);
        glDeleteShader(shader);  // goes with the program
    }
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

struct SceneLight {
    float direction[4];  // towards the light, w = 0
    float color[3];
    float intensity;
    float ambient;
    float eye[3];
};

SceneLight lightOf(const kel::Scene& scene) {
    SceneLight l{};
    const kel::Light& light = *scene.light();
    const kel::Vector& d = light.direction();
    l.direction[0] = static_cast<float>(d.x());
    l.direction[1] = static_cast<float>(d.y());
    l.direction[2] = static_cast<float>(d.z());
    l.color[0] = light.color().red() / 255.0F;
    l.color[1] = light.color().green() / 255.0F;
    l.color[2] = light.color().blue() / 255.0F;
    l.intensity = static_cast<float>(light.intensity());
    l.ambient = static_cast<float>(scene.ambient());
    const kel::Vector& e = scene.camera()->from();
    l.eye[0] = static_cast<float>(e.x());
    l.eye[1] = static_cast<float>(e.y());
    l.eye[2] = static_cast<float>(e.z());
    return l;
}

// Fixed-function lighting in world space (the model-view matrix is the identity): the
// light model's ambient level and the light's diffuse intensity on each material.
void setUpGouraud(const SceneLight& light) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_SMOOTH);
    const float ambient[4] = {light.ambient, light.ambient, light.ambient, 1.0F};
    const float none[4] = {0.0F, 0.0F, 0.0F, 1.0F};
    const float diffuse[4] = {light.intensity, light.intensity, light.intensity, 1.0F};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_POSITION, light.direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
}

class PeerRenderer {
public:
    // Takes over the batches' buffers; the context must outlive the renderer.
    PeerRenderer(kel::RenderMode mode, const kel::Scene& scene, std::vector<GpuBatch> batches)
        : mode_(mode), light_(lightOf(scene)), batches_(std::move(batches)) {}
    ~PeerRenderer() {
        for (const GpuBatch& batch : batches_) {
            glDeleteBuffers(2, batch.buffers);
        }
        if (program_ != 0) {
            glDeleteProgram(program_);
        }
    }
    PeerRenderer(const PeerRenderer&) = delete;
    PeerRenderer& operator=(const PeerRenderer&) = delete;

    bool setUp(const std::array<double, 16>& clip, int side) {
        // Kel's rows count down from side - trunc(y), one row below OpenGL's pixel
        // centres: moving the viewport down a row makes both put a point in one pixel.
        glViewport(0, -1, side, side);
        glClearColor(1.0F, 1.0F, 1.0F, 1.0F);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixd(clip.data());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnableClientState(GL_VERTEX_ARRAY);
        if (mode_ == kel::RenderMode::Wireframe) {
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
            glColor3f(0.0F, 0.0F, 0.0F);
            return true;
        }
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        if (mode_ == kel::RenderMode::Gouraud) {
            setUpGouraud(light_);
            return true;
        }
        program_ = makePhongProgram();
        if (program_ == 0) {
            return false;
        }
        glUseProgram(program_);
        glUniform3fv(glGetUniformLocation(program_, "eye"), 1, light_.eye);
        glUniform3fv(glGetUniformLocation(program_, "lightDirection"), 1, light_.direction);
        glUniform3fv(glGetUniformLocation(program_, "lightColor"), 1, light_.color);
        glUniform1f(glGetUniformLocation(program_, "intensity"), light_.intensity);
        glUniform1f(glGetUniformLocation(program_, "ambient"), light_.ambient);
        return true;
    }

    void drawFrame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const GpuBatch& batch : batches_) {
            setMaterial(batch.material);
            glBindBuffer(GL_ARRAY_BUFFER, batch.buffers[0]);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.buffers[1]);
            glVertexPointer(3, GL_FLOAT, 6 * sizeof(float), nullptr);
            glNormalPointer(GL_FLOAT, 6 * sizeof(float),
                            reinterpret_cast<const void*>(3 * sizeof(float)));
            glDrawElements(GL_TRIANGLES, batch.indexCount, GL_UNSIGNED_INT, nullptr);
        }
        glFinish();
    }

private:
    void setMaterial(const kel::bench::PeerBatch& m) const {
        if (mode_ == kel::RenderMode::Gouraud) {
            const float ambient[4] = {m.litColor[0], m.litColor[1], m.litColor[2], 1.0F};
            const float diffuse[4] = {m.litColor[0] * m.diffuse, m.litColor[1] * m.diffuse,
                                      m.litColor[2] * m.diffuse, 1.0F};
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
            glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        } else if (mode_ == kel::RenderMode::Phong) {
            glUniform3fv(glGetUniformLocation(program_, "litColor"), 1, m.litColor.data());
            glUniform1f(glGetUniformLocation(program_, "diffuse"), m.diffuse);
            glUniform1f(glGetUniformLocation(program_, "specular"), m.specular);
            glUniform1f(glGetUniformLocation(program_, "shininess"),
                        static_cast<float>(m.shininess));
        }
    }

    kel::RenderMode mode_;
    SceneLight light_;
    std::vector<GpuBatch> batches_;
    GLuint program_ = 0;
};

bool writeImage(const OffscreenContext& context, int side, const std::string& path) {
    // The frame and viewport where kel-render puts them, by the model's own mapping.
    kel::ImageSurface image(side + 2 * kMargin, side + 2 * kMargin);
    kel::DeviceMapping mapping;
    mapping.fit(image.clientRect(), kMargin);
    mapping.drawFrame(image);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            row[static_cast<std::size_t>(x)] = context.pixel(x, y);
        }
        image.setPixelRow(mapping.windowX(0), mapping.windowY(y), row.data(), side);
    }
    std::string error;
    if (!kel::writePng(image, path, error)) {
        std::cerr << kProgram << ": Could not write " << path << ": " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: " << kProgram
                  << " SCENE.kel [--mode wireframe|gouraud|phong] [--size SIDE] [--frames N]"
                     " [--output FILE.png]\n";
        return 2;
    }
    // Read when the first context is made: the peer runs llvmpipe on 2 threads.
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    setenv("LP_NUM_THREADS", "2", 0);

    // Opening the scene makes its folder the current directory.
    const std::string outputPath =
        options->outputPath.empty() ? "" : std::filesystem::absolute(options->outputPath).string();
    kel::bench::BenchDocument document(kProgram);
    if (!document.open(options->scenePath)) {
        return 1;
    }
    kel::Scene& scene = document.scene();
    if (scene.camera() == nullptr || scene.frustum() == nullptr || scene.light() == nullptr) {
        std::cerr << kProgram << ": the scene has no camera, frustum or light\n";
        return 1;
    }
    OffscreenContext context(options->side);
    if (!context.valid()) {
        std::cerr << kProgram << ": Could not create an OSMesa context\n";
        return 1;
    }
    std::cerr << kProgram << ": " << glGetString(GL_RENDERER)
              << ", LP_NUM_THREADS=" << std::getenv("LP_NUM_THREADS") << "\n";

    const kel::Matrix clip =
        scene.camera()->viewTransform() * scene.frustum()->perspectiveTransform();
    PeerRenderer renderer(options->mode, scene, upload(kel::bench::buildPeerBatches(scene)));
    if (!renderer.setUp(kel::bench::glClipMatrix(clip), options->side)) {
        std::cerr << kProgram << ": the Phong shader does not link\n";
        return 1;
    }
    renderer.drawFrame();  // compiles the shaders and state before the timed frames
    std::vector<double> times;
    for (int i = 0; i < options->frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        renderer.drawFrame();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::cerr << kProgram << ": " << options->frames << " frames, median " << std::fixed
              << std::setprecision(3) << kel::bench::median(times) << " ms per frame\n";
    if (!outputPath.empty() && !writeImage(context, options->side, outputPath)) {
        return 1;
    }
    return 0;
}
