#include "cli/cli_options.h"

#include <charconv>
#include <sstream>

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

std::string applyOutput(CliOptions& options, const std::string& value) {
    if (value.empty()) {
        return "the output file name is empty";
    }
    options.outputPath = value;
    return {};
}

std::string applySave(CliOptions& options, const std::string& value) {
    if (value.empty()) {
        return "the scene file name to save to is empty";
    }
    options.savePath = value;
    return {};
}

std::string applyFrames(CliOptions& options, const std::string& value) {
    options.timeFrames = true;
    if (!parseInt(value, 1, kMaxFrames, options.frames)) {
        return "invalid frame count '" + value + "' (expected 1 to " + std::to_string(kMaxFrames) +
               ")";
    }
    return {};
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
         [](CliOptions& o, const std::string&) {
             o.cull = true;
             return std::string();
         }},
        {"--output", "FILE.png", "write the client area as a PNG image", applyOutput},
        {"--save", "OUT.kel",
         "save the scene as the viewer does (its object output \"foo\" goes to the scene's "
         "folder)",
         applySave},
        {"--frames", "N", "render N times; print the median ms per frame to stderr", applyFrames},
        {"--tree", "", "print the data tree, fully expanded, after the last render",
         [](CliOptions& o, const std::string&) {
             o.tree = true;
             return std::string();
         }},
        {"--probe", "X,Y", "after the last render, print what pixel X,Y tells (repeatable)",
         applyProbe},
        {"--help", "", "print this help and exit",
         [](CliOptions& o, const std::string&) {
             o.help = true;
             return std::string();
         }},
    };
    return defs;
}

CliParseResult parseCommandLine(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& options = result.options;
    int scenes = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!arg.empty() && arg.front() == '-' && arg != "-") {
                result.error = "unknown option '" + arg + "'";
                return result;
            }
            ++scenes;
            options.scenePath = arg;
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
    }
    if (options.help) {
        return result;
    }
    if (scenes == 0) {
        result.error = "no scene file given";
    } else if (scenes > 1) {
        result.error = "more than one scene file given";
    }
    return result;
}

std::string usageText() {
    std::ostringstream out;
    out << "Usage: kel-render SCENE.kel [options]\n"
           "\n"
           "Renders a Kel scene the way the viewer does and writes the whole client area\n"
           "(white background, black viewport frame, the image) as a PNG.\n"
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
        out << def.help << "\n";
    }
    out << "\n"
           "Messages the viewer shows in message boxes go to stderr, prefixed \"kel-render: \".\n"
           "Exit status: 0 on success, 1 when the scene cannot be read or the image cannot\n"
           "be written, 2 on a usage error.\n";
    return out.str();
}

}  // namespace kel
