#pragma once

#include <string>

#include "tarnwick/options.h"

namespace tarnwick {

// Everything the settings file carries across runs.
struct Settings {
  std::string workFolder;  // "Current directory:"
  FetchOptions fetch;      // downloadFiles is never stored
  LocalSearchOptions local;
};

// Where the settings of the program at programPath live: the file name is
// the program's name up to its last "." (the whole name without a ".") and
// "_settings.txt". A file of that name beside the program is used when it
// exists (a portable copy); otherwise it is in $XDG_CONFIG_HOME/tarnwick/
// (default ~/.config/tarnwick/).
std::string settingsPathFor(const std::string& programPath);

// Reads the file at path into settings: each line that begins with a key sets
// that option, the last occurrence wins, other lines are skipped; text after
// the last line feed is a line cut short and is skipped too. A
// "Current directory:" line changes the process's working directory and
// workFolder takes the working directory afterwards, whether or not the
// change worked. Returns false, changing nothing, when the file cannot be
// opened or read, or is no regular file.
bool readSettings(const std::string& path, Settings& settings);

// Writes formatSettings(settings) to a temporary file beside path (the
// folder is created when missing) and renames it over path, so an
// interrupted write never leaves a cut file; the file keeps its permissions,
// and a link to a regular file stays a link (the file it points to is
// replaced). Returns false when that fails; the old file then stays as it
// was.
bool writeSettings(const std::string& path, const Settings& settings);

// The file's text: 23 lines "<key><value>\n" in their fixed order (the
// last, "Parallel connections:", came later; a file without it keeps the default). A line
// feed inside a text value is written as a blank, so each value stays on
// its own line.
std::string formatSettings(const Settings& settings);

}  // namespace tarnwick
