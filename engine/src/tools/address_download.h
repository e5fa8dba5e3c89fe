#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "net/internet_session.h"
#include "results/output_file.h"
#include "tarnwick/downloads.h"

namespace tarnwick {

// Downloads one address through an open session into target, in blocks of
// 1024 bytes with one pump per block. The target is created only once the
// address has opened with something to read, and it holds the whole body or
// keeps what it held before. Network errors and targets that cannot be
// written are shown through the host; an error status or an empty body is
// not. index and count place the address in its batch for progress. A stop
// request ends the wait for a block; a body that arrived whole is kept.
DownloadOutcome downloadToFile(InternetSession& session, Host& host, std::string_view address,
                               const std::filesystem::path& target,
                               const DownloadObserver& observer, std::size_t index = 0,
                               std::size_t count = 1, Placement placement = Placement::UserFile);

// The session options of a download with these time-outs; connectByDefault
// says whether a connect time-out applies when timeouts leave it unset.
SessionOptions sessionOptionsOf(const DownloadTimeouts& timeouts, bool connectByDefault);

}  // namespace tarnwick
