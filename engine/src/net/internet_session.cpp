#include "net/internet_session.h"

#include "net/read_ahead_pool.h"
#include "net/session_core.h"
#include "net/transfer.h"

namespace tarnwick {

namespace {

// The opening chain: the first step that yields a session is used.
constexpr ProxyMode kOpeningChain[] = {ProxyMode::Environment, ProxyMode::Direct,
                                       ProxyMode::NamedProxy, ProxyMode::Environment};

}  // namespace

InternetSession::InternetSession(std::unique_ptr<SessionCore> core)
    : core_(std::move(core)), ahead_(std::make_unique<ReadAheadPool>(*core_)) {}

InternetSession::~InternetSession() = default;

std::unique_ptr<InternetSession> InternetSession::open(Host& host, SessionOptions options) {
  for (ProxyMode mode : kOpeningChain) {
    try {
      return std::unique_ptr<InternetSession>(
          new InternetSession(std::make_unique<SessionCore>(host, options, mode)));
    } catch (const InternetError&) {
      // try the next step
    }
  }
  return nullptr;
}

std::unique_ptr<RemoteFile> InternetSession::openUrl(std::string_view address) {
  std::unique_ptr<Transfer> transfer = ahead_->take(address);
  if (!transfer) {
    const std::string host = requestHost(address);
    core_->runUntil([&] { return core_->delayOverFor(host); });
    transfer = std::make_unique<Transfer>(*core_, address);
  }
  transfer->startClock();
  transfer->waitForResponse();
  if (transfer->status() >= 400) return nullptr;
  return std::make_unique<RemoteFile>(std::move(transfer));
}

void InternetSession::readAhead(const std::vector<std::string_view>& addresses) {
  ahead_->want(addresses);
}

std::size_t InternetSession::readAheadRoom() const { return ahead_->room(); }

std::size_t InternetSession::bytesHeldAhead() const { return ahead_->bytesHeld(); }

RemoteFile::RemoteFile(std::unique_ptr<Transfer> transfer) : transfer_(std::move(transfer)) {}

RemoteFile::~RemoteFile() = default;

std::int64_t RemoteFile::getLength() {
  const std::int64_t announced = transfer_->announcedLength();
  if (announced >= 0) return announced;
  transfer_->waitForData(1);
  if (transfer_->available() == 0) transfer_->throwIfFailed();
  return static_cast<std::int64_t>(transfer_->available());
}

std::size_t RemoteFile::read(char* buffer, std::size_t size, const std::function<bool()>& stop) {
  interrupted_ = false;
  if (size == 0) return 0;
  transfer_->waitForData(size, stop);
  const std::size_t n = transfer_->take(buffer, size);
  if (n == 0) transfer_->throwIfFailed();
  interrupted_ = n < size && !complete();
  return n;
}

bool RemoteFile::lengthAnnounced() const { return transfer_->announcedLength() >= 0; }

bool RemoteFile::complete() const { return transfer_->succeeded() && transfer_->available() == 0; }

}  // namespace tarnwick
