#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when killed by a signal or the time limit
  std::string out;
  std::string err;
  long maxRssKb = 0;  // peak resident memory of the process
};

// Runs program with args, standard input from /dev/null, and collects both
// outputs. The process is killed after `limit`.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::seconds limit = std::chrono::seconds(60));

// Runs the built tarnwick-cli.
ProcessResult runCli(const std::vector<std::string>& args,
                     std::chrono::seconds limit = std::chrono::seconds(60));

}  // namespace tarnwick::test
