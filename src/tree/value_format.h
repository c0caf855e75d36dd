#pragma once

#include <string>

namespace kel {

class Color;
class Polygon;
class Vector;
class Vertex;

namespace tree_format {

// The texts of the tree's value items. Every text is formatted into a buffer of the size
// it needs, so huge or non-finite values are never cut short.

// "%8.3f %8.3f %8.3f": x, y and z.
std::string point(const Vector& v);
// "%8.3f %8.3f %8.3f %8.3f": the first four elements of a matrix row.
std::string matrixRow(const Vector& row);
// "%8.3f".
std::string real(double value);
// "%d".
std::string integer(int value);
// "%3d %3d %3d": red, green, blue.
std::string color(const Color& c);
// "%4d, %8.3f %8.3f %8.3f": id, then the model position.
std::string vertex(const Vertex& v);
// The ids of the polygon's own corners in corner order, each followed by one blank.
std::string cornerIds(const Polygon& polygon);

}  // namespace tree_format
}  // namespace kel
