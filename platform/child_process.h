// A child program whose standard output and standard error come back through
// one pipe. The command line is one GBK string, split the way the line PCs'
// C runtime splits it; no shell ever sees it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ChildProcess {
 public:
  enum class ReadResult {
    Data,    // `got` bytes arrived
    End,     // the pipe is closed and empty: the program has ended
    Silent,  // nothing arrived within the time given
  };

  virtual ~ChildProcess() = default;
  // Waits at most `timeoutMs` for output and takes what is there, at most `size` bytes.
  virtual ReadResult Read(char* buffer, size_t size, size_t* got, unsigned timeoutMs) = 0;
  // Ends the program at once and collects it.
  virtual void Kill() = 0;
  // Once the output has ended: waits up to kExitGraceMs for the program to exit
  // and gives its exit code. One still running then is ended and has none;
  // one ended by a signal gives 128 + the signal, as a shell shows it.
  virtual std::optional<int> Finish() = 0;
};

// How long a program that has closed its output may take to exit.
inline constexpr unsigned kExitGraceMs = 2000;

enum class StartResult { Started, NoPipe, NoProgram };

// Starts the program named by the first word of `commandLine`, found in the
// program's own folder, then the working directory, then the search path.
// Standard input is shared with this process; the working directory and the
// environment are inherited. The child is collected when `*child` goes away,
// as by Finish when that was not called.
StartResult StartChildProcess(const std::string& commandLine, std::unique_ptr<ChildProcess>* child);

// The words of a command line: blanks and tabs separate, double quotes group,
// backslashes count only before a quote. The first word is the program name,
// where quotes only group. Two-byte GBK characters are never split.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Where `program` (GBK) would be started from, as a GBK path; empty when nowhere.
std::string FindProgram(const std::string& program);

}  // namespace platform
