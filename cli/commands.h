#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace tarnwick::cli {

// Exit statuses: worst wins.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A subcommand and what runs it once its options are parsed.
struct Command {
  CLI::App* app = nullptr;
  std::function<int()> run;
};

Command addLocalCommand(CLI::App& parent);
Command addDownloadCommand(CLI::App& parent);
Command addDownloadListCommand(CLI::App& parent);
Command addCrawlCommand(CLI::App& parent);

}  // namespace tarnwick::cli
