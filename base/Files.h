// File-system helpers shared by every layer.
#pragma once

#include <string>

// True when path names a regular file (or a link to one).
bool FileExists(const std::string& path);

// folder + "/" + name, without doubling a trailing "/"; name alone when folder is empty.
std::string JoinPath(const std::string& folder, const std::string& name);
