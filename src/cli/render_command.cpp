#include "cli/render_command.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <system_error>

#include "cli/cli_options.h"
#include "cli/stderr_user_messages.h"
#include "files/kel_doc.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "tree/tree_text.h"

namespace kel {

namespace {

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// Renders the frames as repeated paints do: each on a freshly erased surface, with the
// scene's state carried from one to the next. Returns the time of each frame in ms.
std::vector<double> renderFrames(RenderPipeline& pipeline, Scene& scene, ImageSurface& image,
                                 int frames) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        image.fill(ImageSurface::kWhite);
        const auto start = std::chrono::steady_clock::now();
        pipeline.run(image, scene);
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    return times;
}

std::string absoluteOrAsGiven(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

// A full disk or a closed pipe must not pass for success: what was printed is flushed and
// checked.
bool outputWritten(std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) {
        return true;
    }
    const int error = errno;
    err << "kel-render: Could not write the standard output"
        << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
    return false;
}

}  // namespace

int runKelRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliParseResult parsed = parseCommandLine(args);
    if (!parsed.error.empty()) {
        err << "kel-render: " << parsed.error << "\n"
            << "Try 'kel-render --help'.\n";
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) {
        out << usageText();
        return outputWritten(out, err) ? kExitSuccess : kExitFailure;
    }

    // Opening the scene makes its folder the current directory, so fix the output paths
    // against the directory the user gave them in first.
    const std::string outputPath = absoluteOrAsGiven(options.outputPath);
    const std::string savePath = absoluteOrAsGiven(options.savePath);

    StderrUserMessages messages(err);
    CKelDoc document(messages);
    if (!document.onOpenDocument(options.scenePath) || document.scene() == nullptr) {
        if (messages.shownCount() == 0) {
            err << "kel-render: Could not read the scene file " << options.scenePath << "\n";
        }
        return kExitFailure;
    }
    Scene& scene = *document.scene();
    applyViewState(scene, options.mode, options.cull);

    const auto pipeline = makePipeline(options.mode);
    ImageSurface image(options.width, options.height);
    const std::vector<double> times = renderFrames(*pipeline, scene, image, options.frames);
    if (options.timeFrames) {
        err << "kel-render: " << options.frames << (options.frames == 1 ? " frame" : " frames")
            << ", median " << std::fixed << std::setprecision(3) << medianOf(times)
            << " ms per frame\n";
    }

    if (options.tree) {
        writeTreeText(out, &scene);
        if (!outputWritten(out, err)) {
            return kExitFailure;
        }
    }

    for (std::size_t i = 0; i < options.probes.size(); ++i) {
        const auto [x, y] = options.probes[i];
        const std::vector<std::string> lines = describePixel(probePixel(scene, options.mode, x, y));
        if (i > 0) {
            out << "\n";
        }
        if (lines.empty()) {
            err << "kel-render: " << x << "," << y << " is not a pixel of the viewport\n";
        }
        for (const std::string& line : lines) {
            out << line << "\n";
        }
    }

    if (!outputPath.empty()) {
        std::string error;
        if (!writePng(image, outputPath, error)) {
            err << "kel-render: Could not write " << options.outputPath << ": " << error << "\n";
            return kExitFailure;
        }
    }

    // The same save as the viewer's, messages and all.
    if (!savePath.empty() && !document.onSaveDocument(savePath)) {
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace kel
