// Working directory, file status, links and the program's own folder.
// Every path here is GBK text; the conversion to the file system's names happens inside.
#pragma once

#include <string>

namespace platform {

// The working directory, whole (no length limit); empty when it cannot be read.
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

enum class FileKind { Missing, Regular, Folder, Other };
FileKind StatusOf(const std::string& path);

// The target of a symbolic link (the desktop's shortcut here), made absolute;
// empty when `path` is no link or cannot be read.
std::string ResolveShortcut(const std::string& path);

// The folder that holds the running executable.
std::string ProgramFolder();

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace platform
