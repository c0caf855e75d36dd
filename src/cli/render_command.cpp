#include "cli/render_command.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <system_error>

#include "cli/cli_options.h"
#include "cli/png_input.h"
#include "cli/stderr_user_messages.h"
#include "files/kel_doc.h"
#include "platform/atomic_file.h"
#include "render/image_compare.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/render_mode.h"
#include "render/rgba_png.h"
#include "render/supersampled_render.h"
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
                                 int frames, int supersample) {
    SupersampledRender render(supersample);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        render.run(pipeline, scene, image);
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    return times;
}

// Opening the scene makes its folder the current directory, so names given relative to
// where kel-render started are fixed first. "-" (stdout) stays as it is.
std::string absoluteName(const std::string& path, bool stdoutAllowed = true) {
    if (path.empty() || (stdoutAllowed && path == kStdoutName)) {
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

// Where each file of the run goes, fixed before the scene is opened.
struct RunFiles {
    std::string output;
    std::string diff;
    std::string reference;
    std::string save;
};

// Writes a PNG to stdout for "-", else to the file without ever leaving it half written.
// The error names the file as the user gave it.
bool writeImage(const RgbaImage& image, const std::string& path, const std::string& shownName,
                std::ostream& out, std::ostream& err) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (encodeRgbaPng(image, bytes, error)) {
        if (path == kStdoutName) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            return outputWritten(out, err);
        }
        const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (writeFileAtomically(path, view, false, error)) {
            return true;
        }
    }
    err << "kel-render: Could not write " << shownName << ": " << error << "\n";
    return false;
}

// The whole client area as the viewer paints it, rendered the given number of times.
RgbaImage renderClientArea(const CliOptions& options, Scene& scene, std::ostream& err) {
    applyViewState(scene, options.mode, options.cull);
    const auto pipeline = makePipeline(options.mode);
    ImageSurface image(options.width, options.height);
    const std::vector<double> times =
        renderFrames(*pipeline, scene, image, options.frames, options.supersample);
    if (options.timeFrames) {
        err << "kel-render: " << options.frames << (options.frames == 1 ? " frame" : " frames")
            << ", median " << std::fixed << std::setprecision(3) << medianOf(times)
            << " ms per frame\n";
    }
    return toRgba(image);
}

// A thumbnail in Phong mode; false, with a message, when nothing of the scene is in view.
bool renderThumbnailOf(const CliOptions& options, Scene& scene, RgbaImage& image,
                       std::ostream& err) {
    applyViewState(scene, RenderMode::Phong, false);
    const auto pipeline = makePipeline(RenderMode::Phong);
    Thumbnail thumbnail;
    if (!renderThumbnail(*pipeline, scene, options.thumbnailSize, kThumbnailSupersample,
                         thumbnail) ||
        thumbnail.coveredSamples == 0) {
        err << "kel-render: Nothing of " << options.scenePath
            << " is in view; no thumbnail written\n";
        return false;
    }
    image = std::move(thumbnail.image);
    return true;
}

// Exit 0 when the image equals the reference, 3 when it differs (saying how), 1 when the
// difference image cannot be written.
int compareWithReference(const RgbaImage& image, const RgbaImage& reference,
                         const CliOptions& options, const RunFiles& files, std::ostream& out,
                         std::ostream& err) {
    const ImageDifference difference = compareImages(image, reference);
    if (!files.diff.empty() &&
        !writeImage(differenceImage(image, reference), files.diff, options.diffPath, out, err)) {
        return kExitFailure;
    }
    if (difference.identical()) {
        return kExitSuccess;
    }
    std::istringstream lines(describeDifference(difference, image, reference));
    for (std::string line; std::getline(lines, line);) {
        err << "kel-render: " << options.referencePath << ": " << line << "\n";
    }
    return kExitDiffer;
}

// What each --probe pixel tells, after the last render; false when stdout failed.
bool writeProbes(const CliOptions& options, Scene& scene, std::ostream& out, std::ostream& err) {
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
    return options.probes.empty() || outputWritten(out, err);
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
    if (options.version) {
        out << versionText();
        return outputWritten(out, err) ? kExitSuccess : kExitFailure;
    }
    const RunFiles files{absoluteName(options.outputPath), absoluteName(options.diffPath),
                         absoluteName(options.referencePath),
                         absoluteName(options.savePath, false)};

    // The reference is read first, so that a missing one costs no render and writes nothing.
    RgbaImage reference;
    if (!files.reference.empty()) {
        std::string error;
        if (!readPngFile(files.reference, reference, error)) {
            err << "kel-render: Could not read the reference " << options.referencePath << ": "
                << error << "\n";
            return kExitFailure;
        }
    }

    StderrUserMessages messages(err);
    CKelDoc document(messages);
    if (!document.onOpenDocument(options.scenePath) || document.scene() == nullptr) {
        if (messages.shownCount() == 0) {
            err << "kel-render: Could not read the scene file " << options.scenePath << "\n";
        }
        return kExitFailure;
    }
    Scene& scene = *document.scene();

    RgbaImage image;
    if (options.thumbnailSize > 0) {
        if (!renderThumbnailOf(options, scene, image, err)) {
            return kExitFailure;
        }
    } else {
        image = renderClientArea(options, scene, err);
    }

    if (options.tree) {
        writeTreeText(out, &scene);
        if (!outputWritten(out, err)) {
            return kExitFailure;
        }
    }
    if (!writeProbes(options, scene, out, err)) {
        return kExitFailure;
    }
    if (!files.output.empty() && !writeImage(image, files.output, options.outputPath, out, err)) {
        return kExitFailure;
    }
    // The same save as the viewer's, messages and all.
    if (!files.save.empty() && !document.onSaveDocument(files.save)) {
        return kExitFailure;
    }
    if (!files.reference.empty()) {
        return compareWithReference(image, reference, options, files, out, err);
    }
    return kExitSuccess;
}

}  // namespace kel
