#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/mesh/mesh_data.h"

namespace kel {

class SceneObject;

enum class MeshFormat { WavefrontObj, Off, Ply, Stl };

// The mesh format a file name's extension names, in any case: .obj, .off, .ply, .stl.
std::optional<MeshFormat> meshFormatOfName(std::string_view name);

// Kel object files end in .obj too: one whose first token is a number is Kel's own.
bool isKelObjectText(std::string_view text);

// The mesh format to read the named file's geometry with; nothing for a Kel object file
// (or any file whose extension names no mesh format).
std::optional<MeshFormat> geometryFormatOf(std::string_view name, std::string_view text);

// Parses a whole file. Text must be ASCII-compatible (UTF-8, Latin-1, ...): a UTF-16 or
// UTF-32 file is refused; a UTF-8 byte-order mark is skipped. `file` names the file in
// failure, which also says where and what was expected.
bool readMeshData(MeshFormat format, std::string_view data, const std::string& file, MeshData& mesh,
                  std::string& failure);

// readMeshData, then the object's vertices and surfaces from what was read.
bool readMeshObject(MeshFormat format, std::string_view data, const std::string& file,
                    SceneObject& object, std::string& failure);

}  // namespace kel
