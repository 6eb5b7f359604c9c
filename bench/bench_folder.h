// The bench's working folder on disk: a station of its own for the floor and
// for the program (each with its btconfig.ini and station/), and one firmware
// file that both burn, so that their library calls are alike to the byte.
#pragma once

#include <string>

#include "vendor/library_loader.h"

namespace bench {

struct BenchFolder {
  std::string root;
  std::string floor;
  std::string program;
  std::string firmware;
};

// A new folder under `parent` (mkdtemp), with the firmware copied in.
bool MakeBenchFolder(const std::string& parent, const std::string& firmwareSample, BenchFolder* folder,
                     std::string* error);
void RemoveBenchFolder(const BenchFolder& folder);

// Makes `folder` the working directory and lays out a station there: the
// default station as the libraries write it, instant timing, and a counter
// starting at 0002:5b:00a1ff.
bool EnterStation(const std::string& folder, vendor::Libraries& libs, std::string* error);
// Switches the station's call trace in the working directory on or off.
bool TraceCalls(bool on);

// "ext4", "tmpfs", ... for the file system holding `path`.
std::string FileSystemName(const std::string& path);

}  // namespace bench
