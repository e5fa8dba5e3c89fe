#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when killed by a signal or the time limit
  std::string out;
  std::string err;
  long maxRssKb = 0;  // peak resident memory of the process
};

// Who a process runs as: unset keeps the test's own user.
struct RunAs {
  uid_t uid;
  gid_t gid;
};

// A user for whom file permissions hold: "nobody" when the tests run as root
// (root passes every permission check), else nothing, the test's own user.
std::optional<RunAs> unprivilegedUser();

// Runs program with args, standard input from /dev/null, and collects both
// outputs. The process is killed after `limit`.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::seconds limit = std::chrono::seconds(60),
                         std::optional<RunAs> user = std::nullopt);

// Runs the built tarnwick-cli.
ProcessResult runCli(const std::vector<std::string>& args,
                     std::chrono::seconds limit = std::chrono::seconds(60),
                     std::optional<RunAs> user = std::nullopt);

}  // namespace tarnwick::test
