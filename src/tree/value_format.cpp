#include "tree/value_format.h"

#include <cstdarg>
#include <cstdio>

#include "model/color.h"
#include "model/polygon.h"
#include "model/vector.h"
#include "model/vertex.h"

namespace kel {
namespace {

[[gnu::format(printf, 1, 2)]] std::string formatted(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    return text;
}

}  // namespace

namespace tree_format {

std::string point(const Vector& v) {
    return formatted("%8.3f %8.3f %8.3f", v.at(0), v.at(1), v.at(2));
}

std::string matrixRow(const Vector& row) {
    return formatted("%8.3f %8.3f %8.3f %8.3f", row.at(0), row.at(1), row.at(2), row.at(3));
}

std::string real(double value) {
    return formatted("%8.3f", value);
}

std::string integer(int value) {
    return formatted("%d", value);
}

std::string color(const Color& c) {
    return formatted("%3d %3d %3d", int{c.red()}, int{c.green()}, int{c.blue()});
}

std::string vertex(const Vertex& v) {
    const Vector& p = v.modelPosition();
    return formatted("%4d, %8.3f %8.3f %8.3f", v.id(), p.at(0), p.at(1), p.at(2));
}

std::string cornerIds(const Polygon& polygon) {
    std::string text;
    for (std::size_t i = 0; i < polygon.vertexCount(); ++i) {
        const Vertex* corner = polygon.vertexAt(i);
        if (corner != nullptr) {
            text += formatted("%d ", corner->id());
        }
    }
    return text;
}

}  // namespace tree_format
}  // namespace kel
