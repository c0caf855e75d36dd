#pragma once

#include <iosfwd>

namespace kel {

class Scene;

// Writes the whole data tree, every item opened, one item per line with two blanks of
// indent per level. Without a scene only the five roots are written.
void writeTreeText(std::ostream& out, Scene* scene);

}  // namespace kel
