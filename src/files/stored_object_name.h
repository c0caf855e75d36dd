#pragma once

#include <string>

namespace kel {

// The name an object record gets when its scene is saved in sceneFolder, for an object
// whose name was resolved against sourceFolder when it was read: the same name when it
// still names the same file from there, else the path relative to sceneFolder, else
// (no relative path exists) the absolute path. Folders are absolute.
std::string storedObjectName(const std::string& name, const std::string& sourceFolder,
                             const std::string& sceneFolder);

// A scene file separates its items by white space: a name cannot hold any.
bool canStoreName(const std::string& name);

}  // namespace kel
