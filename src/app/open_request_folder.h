#pragma once

#include <sys/types.h>

#include <string>

namespace kel {

// Where the open-request socket may live: a folder only this user can reach, so that no
// one else can bind the name first or read the paths sent through it.
//
// The runtime folder is used when it is safe; otherwise a folder of the user's own in the
// temporary folder, made 0700 if it does not exist yet. A folder is safe when lstat says it
// is a folder (not a symlink), owned by uid and of mode 0700. When neither is safe the
// result is empty and problem says why: the caller then runs without the channel.
std::string openRequestFolder(const std::string& runtimeFolder, const std::string& tempFolder,
                              uid_t uid, std::string& problem);

// Empty when folder is safe for uid, else the reason it is not.
std::string unsafeFolderReason(const std::string& folder, uid_t uid);

// The socket's path in folder; the name holds the user id as well.
std::string openRequestSocketPath(const std::string& folder, uid_t uid);

}  // namespace kel
