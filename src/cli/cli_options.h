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
// argument or after "=". Exactly one scene path is required unless --help is given.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
std::string usageText();

// Largest accepted width or height, to keep the image and its buffers within memory.
inline constexpr int kMaxImageSide = 8192;
inline constexpr int kMaxFrames = 100000;

}  // namespace kel
