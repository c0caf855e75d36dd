#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <utility>

#include "render/device_renderer.h"

#ifndef KEL_VERSION
#define KEL_VERSION "unknown"
#endif

namespace kel {

namespace {

// A whole decimal number within [low, high]; nothing else is accepted.
bool parseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return false;
    }
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc() || ptr != end || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

std::string applyMode(CliOptions& options, const std::string& value) {
    const auto mode = renderModeFromName(value);
    if (!mode) {
        return "unknown mode '" + value + "' (expected wireframe, gouraud or phong)";
    }
    options.mode = *mode;
    return {};
}

std::string applySize(CliOptions& options, const std::string& value) {
    const auto x = value.find('x');
    int width = 0;
    int height = 0;
    if (x == std::string::npos || !parseInt(value.substr(0, x), 1, kMaxImageSide, width) ||
        !parseInt(value.substr(x + 1), 1, kMaxImageSide, height)) {
        return "invalid size '" + value + "' (expected WxH, each 1 to " +
               std::to_string(kMaxImageSide) + ")";
    }
    options.width = width;
    options.height = height;
    return {};
}

using Apply = decltype(CliOptionDef::apply);

// A flag: sets its member.
Apply flag(bool CliOptions::*member) {
    return [member](CliOptions& options, const std::string&) {
        options.*member = true;
        return std::string();
    };
}

// A file name kept in its member, which may not be empty; `what` names it in the complaint.
Apply fileName(std::string CliOptions::*member, std::string what) {
    return [member, what = std::move(what)](CliOptions& options, const std::string& value) {
        if (value.empty()) {
            return "the " + what + " is empty";
        }
        options.*member = value;
        return std::string();
    };
}

// A whole number from 1 to max kept in its member; `what` names it in the complaint.
Apply wholeNumber(int CliOptions::*member, int max, std::string what) {
    return [member, max, what = std::move(what)](CliOptions& options, const std::string& value) {
        if (!parseInt(value, 1, max, options.*member)) {
            return "invalid " + what + " '" + value + "' (expected 1 to " + std::to_string(max) +
                   ")";
        }
        return std::string();
    };
}

// --frames also asks for the median time per frame.
Apply frames() {
    return [count = wholeNumber(&CliOptions::frames, kMaxFrames, "frame count")](
               CliOptions& options, const std::string& value) {
        options.timeFrames = true;
        return count(options, value);
    };
}

bool wasGiven(const CliOptions& options, const std::string& name) {
    return std::find(options.given.begin(), options.given.end(), name) != options.given.end();
}

// An output that names another image type would get PNG bytes under a misleading name.
std::string checkImageName(const std::string& path) {
    if (path == kStdoutName) {
        return {};
    }
    const std::string type = otherImageType(path);
    if (type.empty()) {
        return {};
    }
    return "'" + path + "' names a " + type + " image; kel-render writes PNG only";
}

// What a thumbnail request may not be combined with: it has its own size, mode and output.
std::string checkThumbnail(const CliOptions& options) {
    for (const char* name : {"--mode", "--size", "--cull", "--supersample", "--output", "--frames",
                             "--tree", "--save", "--probe"}) {
        if (wasGiven(options, name)) {
            return std::string("option '") + name + "' cannot be used with --thumbnail";
        }
    }
    if (options.positional.size() != 2) {
        return "--thumbnail needs SIZE INPUT OUTPUT";
    }
    return checkImageName(options.positional[1]);
}

std::string checkRender(const CliOptions& options) {
    if (options.positional.empty()) {
        return "no scene file given";
    }
    if (options.positional.size() > 1) {
        return "more than one scene file given";
    }
    const long long side = std::min(options.width, options.height) - 2LL * kViewportMargin;
    if (options.supersample > 1 && side * options.supersample > kMaxImageSide) {
        return "--supersample " + std::to_string(options.supersample) + " at " +
               std::to_string(options.width) + "x" + std::to_string(options.height) +
               " needs a viewport of " + std::to_string(side * options.supersample) +
               " pixels (at most " + std::to_string(kMaxImageSide) + ")";
    }
    // A probe tells the story of a pixel of the render it follows, which would be the large one.
    if (options.supersample > 1 && !options.probes.empty()) {
        return "option '--probe' cannot be used with --supersample above 1";
    }
    return checkImageName(options.outputPath);
}

// Checks what the options say together, once all are read.
std::string checkCombination(const CliOptions& options) {
    if (!options.diffPath.empty() && options.referencePath.empty()) {
        return "option '--diff' needs --reference";
    }
    const std::string error =
        options.thumbnailSize > 0 ? checkThumbnail(options) : checkRender(options);
    if (!error.empty()) {
        return error;
    }
    const std::string output =
        options.thumbnailSize > 0 ? options.positional[1] : options.outputPath;
    const int toStdout = (output == kStdoutName ? 1 : 0) +
                         (options.diffPath == kStdoutName ? 1 : 0) +
                         (options.tree || !options.probes.empty() ? 1 : 0);
    if (toStdout > 1) {
        return "only one of the image, the difference image and the tree or probes can go to "
               "stdout";
    }
    return checkImageName(options.diffPath);
}

// Words filled into lines of at most width columns, each line after the first indented to
// column; a word longer than a line stands alone.
std::string wrapped(const std::string& text, std::size_t column, std::size_t width) {
    std::istringstream words(text);
    std::string result;
    std::size_t used = column;
    for (std::string word; words >> word;) {
        if (used > column && used + 1 + word.size() > width) {
            result += "\n" + std::string(column, ' ');
            used = column;
        } else if (used > column) {
            result += ' ';
            ++used;
        }
        result += word;
        used += word.size();
    }
    return result;
}

std::string applyProbe(CliOptions& options, const std::string& value) {
    const auto comma = value.find(',');
    int x = 0;
    int y = 0;
    if (comma == std::string::npos || !parseInt(value.substr(0, comma), 0, kMaxImageSide, x) ||
        !parseInt(value.substr(comma + 1), 0, kMaxImageSide, y)) {
        return "invalid pixel '" + value + "' (expected X,Y, each 0 to " +
               std::to_string(kMaxImageSide) + ")";
    }
    options.probes.emplace_back(x, y);
    return {};
}

const CliOptionDef* findOption(const std::string& name) {
    for (const CliOptionDef& def : cliOptionDefs()) {
        if (def.name == name) {
            return &def;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<CliOptionDef>& cliOptionDefs() {
    static const std::vector<CliOptionDef> defs = {
        {"--mode", "wireframe|gouraud|phong", "render mode (default phong)", applyMode},
        {"--size", "WxH", "client area in pixels (default 800x800)", applySize},
        {"--cull", "", "cull back faces in wireframe too (shaded modes always do)",
         flag(&CliOptions::cull)},
        {"--supersample", "N",
         "render the viewport at N times its side and average each N x N block (default 1)",
         wholeNumber(&CliOptions::supersample, kMaxSupersample, "supersampling factor")},
        {"--output", "FILE.png", "write the client area as a PNG image (- for stdout)",
         fileName(&CliOptions::outputPath, "output file name")},
        {"--reference", "EXPECTED.png",
         "compare the image pixel for pixel with EXPECTED.png; exit 3 when they differ",
         fileName(&CliOptions::referencePath, "reference file name")},
        {"--diff", "FILE.png",
         "with --reference: write the differing pixels in red over the faded image",
         fileName(&CliOptions::diffPath, "difference file name")},
        {"--save", "OUT.kel",
         "save the scene as the viewer does (its object output \"foo\" goes to the scene's "
         "folder)",
         fileName(&CliOptions::savePath, "scene file name to save to")},
        {"--frames", "N", "render N times; print the median ms per frame to stderr", frames()},
        {"--tree", "", "print the data tree, fully expanded, after the last render",
         flag(&CliOptions::tree)},
        {"--thumbnail", "SIZE", "write a SIZE x SIZE thumbnail of INPUT to OUTPUT (see below)",
         wholeNumber(&CliOptions::thumbnailSize, kMaxThumbnailSize, "thumbnail size")},
        {"--version", "", "print the version and exit", flag(&CliOptions::version)},
        {"--probe", "X,Y", "after the last render, print what pixel X,Y tells (repeatable)",
         applyProbe},
        {"--help", "", "print this help and exit", flag(&CliOptions::help)},
    };
    return defs;
}

CliParseResult parseCommandLine(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& options = result.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // After "--" every argument is a file name, even one that starts with "-".
        if (optionsEnded) {
            options.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!arg.empty() && arg.front() == '-' && arg != "-") {
                result.error = "unknown option '" + arg + "'";
                return result;
            }
            options.positional.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const CliOptionDef* def = findOption(name);
        if (def == nullptr) {
            result.error = "unknown option '" + name + "'";
            return result;
        }
        std::string value;
        if (def->valueName.empty()) {
            if (equals != std::string::npos) {
                result.error = "option '" + name + "' takes no value";
                return result;
            }
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            result.error = "option '" + name + "' needs a value (" + def->valueName + ")";
            return result;
        }
        const std::string error = def->apply(options, value);
        if (!error.empty()) {
            result.error = error;
            return result;
        }
        options.given.push_back(name);
    }
    if (options.help || options.version) {
        return result;
    }
    result.error = checkCombination(options);
    if (result.error.empty()) {
        options.scenePath = options.positional.front();
        if (options.thumbnailSize > 0) {
            options.outputPath = options.positional[1];
        }
    }
    return result;
}

std::string usageText() {
    std::ostringstream out;
    out << "Usage: kel-render SCENE.kel [options]\n"
           "       kel-render MESH [options]   (MESH: .obj, .off, .ply or .stl)\n"
           "   or: kel-render --thumbnail SIZE INPUT OUTPUT [--reference EXPECTED.png]\n"
           "\n"
           "Renders a Kel scene the way the viewer does and writes the whole client area\n"
           "(white background, black viewport frame, the image) as a PNG.\n"
           "A mesh opens as the viewer opens it alone: in a scene fitted to show it whole.\n"
           "Object files are read relative to the scene file's folder. The scene starts\n"
           "fresh: no visibility reset, back faces culled in the shaded modes and in\n"
           "wireframe only with --cull. Without --output nothing is written.\n"
           "\n"
           "Options:\n";
    for (const CliOptionDef& def : cliOptionDefs()) {
        std::string left = "  " + def.name;
        if (!def.valueName.empty()) {
            left += " " + def.valueName;
        }
        out << left;
        const std::size_t column = 36;
        if (left.size() + 2 > column) {
            out << "\n" << std::string(column, ' ');
        } else {
            out << std::string(column - left.size(), ' ');
        }
        out << wrapped(def.help, column, 80) << "\n";
    }
    out << "\n"
           "Supersampling keeps the client area, its margin and the one-pixel frame as at\n"
           "factor 1; each channel of a pixel is the mean of its block, halves rounded up.\n"
           "The data tree then shows the device points of the supersampled viewport.\n"
           "\n"
           "Comparing: --reference reads EXPECTED.png before the render and then compares\n"
           "every pixel and channel. When they differ, stderr says how many pixels differ,\n"
           "the largest difference of one channel and the box that holds them; a reference\n"
           "of another size differs and says so. --diff writes the image faded towards\n"
           "white with every differing pixel pure red, whether or not any differ.\n"
           "\n"
           "Thumbnails: --thumbnail SIZE INPUT OUTPUT renders the viewport of INPUT alone,\n"
           "SIZE x SIZE pixels (1 to "
        << kMaxThumbnailSize << ") without frame, in Phong mode with " << kThumbnailSupersample
        << " x " << kThumbnailSupersample
        << " samples\n"
           "per pixel. The background is transparent: a pixel's alpha is the share of its\n"
           "samples a polygon covers. The scene keeps its own camera. Objects whose files\n"
           "cannot be read are left out; when nothing is in view, nothing is written and\n"
           "the exit status is 1. OUTPUT is written to a temporary file beside it and then\n"
           "renamed, so it is never left half written.\n"
           "\n"
           "Output files must be PNG: a name ending in another image type (such as .jpg) is\n"
           "a usage error. A file name of - means stdout, for at most one output; after --\n"
           "every argument is a file name, even one that starts with -.\n"
           "Messages the viewer shows in message boxes go to stderr, prefixed\n"
           "\"kel-render: \".\n"
           "\n"
           "Exit status:\n"
           "  0  success; with --reference, the image equals the reference\n"
           "  1  the scene or the reference cannot be read, or an image cannot be written\n"
           "  2  usage error: an unknown option, a missing or bad value, a bad combination\n"
           "  3  with --reference, the image differs from the reference\n";
    return out.str();
}

std::string versionText() {
    return std::string("kel-render (Kel) ") + KEL_VERSION + "\n";
}

std::string otherImageType(const std::string& path) {
    static const std::pair<const char*, const char*> types[] = {
        {".jpg", "JPEG"},    {".jpeg", "JPEG"},        {".jpe", "JPEG"},  {".jfif", "JPEG"},
        {".gif", "GIF"},     {".bmp", "BMP"},          {".tif", "TIFF"},  {".tiff", "TIFF"},
        {".webp", "WebP"},   {".ppm", "PPM"},          {".pgm", "PGM"},   {".pbm", "PBM"},
        {".pnm", "PNM"},     {".tga", "TGA"},          {".ico", "ICO"},   {".svg", "SVG"},
        {".exr", "OpenEXR"}, {".avif", "AVIF"},        {".heic", "HEIF"}, {".heif", "HEIF"},
        {".jxl", "JPEG XL"}, {".jp2", "JPEG 2000"},    {".qoi", "QOI"},   {".xpm", "XPM"},
        {".psd", "PSD"},     {".hdr", "Radiance HDR"},
    };
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [suffix, name] : types) {
        if (extension == suffix) {
            return name;
        }
    }
    return {};
}

}  // namespace kel
