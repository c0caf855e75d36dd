#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "render/render_mode.h"

namespace kel {

// What the command line of kel-render asks for.
struct CliOptions {
    std::string scenePath;
    RenderMode mode = RenderMode::Phong;
    int width = 800;
    int height = 800;
    bool cull = false;
    std::string outputPath;  // empty: nothing is written
    std::string savePath;    // empty: the scene is not saved
    int frames = 1;
    bool timeFrames = false;  // --frames given: print the median time per frame
    bool tree = false;        // print the data tree after the last render
    // Client-area pixels whose story is printed after the last render, in order given.
    std::vector<std::pair<int, int>> probes;
    bool help = false;
    bool version = false;
    std::string referencePath;            // empty: no comparison
    std::string diffPath;                 // empty: no difference image
    int supersample = 1;                  // the viewport is rendered at this many times its side
    int thumbnailSize = 0;                // not 0: write a thumbnail of this side instead
    std::vector<std::string> positional;  // the arguments that are not options
    std::vector<std::string> given;       // the options given, in order
};

// One option: its name, the name of its value (empty for a flag), one line of help, and
// what it does to the options. apply returns an error text, empty when the value is good.
struct CliOptionDef {
    std::string name;
    std::string valueName;
    std::string help;
    std::function<std::string(CliOptions&, const std::string&)> apply;
};

// Every option kel-render knows, in the order --help lists them.
const std::vector<CliOptionDef>& cliOptionDefs();

struct CliParseResult {
    CliOptions options;
    std::string error;  // empty on success
};

// Parses the arguments after the program name. Options take their value as the next
// argument or after "=". Exactly one scene path is required unless --help or --version is
// given; --thumbnail takes its input and output as the two positional arguments.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
std::string usageText();

// The line --version prints.
std::string versionText();

// The kind of image a file name's extension names when it is not PNG ("JPEG" for
// "out.jpg"), else empty: kel-render writes PNG only.
std::string otherImageType(const std::string& path);

// "-" as an output file name means stdout.
inline constexpr const char* kStdoutName = "-";

// Largest accepted width or height, to keep the image and its buffers within memory.
inline constexpr int kMaxImageSide = 8192;
inline constexpr int kMaxFrames = 100000;
// Largest supersampling factor; the supersampled viewport stays within kMaxImageSide.
inline constexpr int kMaxSupersample = 16;
// Largest thumbnail side: its 2 x 2 samples stay within kMaxImageSide.
inline constexpr int kMaxThumbnailSize = kMaxImageSide / 2;
// Thumbnails are drawn with this many samples per pixel along each axis.
inline constexpr int kThumbnailSupersample = 2;

}  // namespace kel
