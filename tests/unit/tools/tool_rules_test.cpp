#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarnwick/autoupdate.h"
#include "tarnwick/downloads.h"
#include "tarnwick/messages.h"

namespace tarnwick::test {
namespace {

using enum DownloadStatus;

TEST(Autoupdate, InputChecksInTheirOrder) {
  const struct {
    const char* address;
    int minutes;
    const char* problem;
  } rows[] = {
      {"", 15, messages::kAutoupdateCheckUrl},
      {"https://a.example/", 15, messages::kAutoupdateCheckUrl},
      {"https://brisolm.example/", 0, messages::kAutoupdateCheckUrl},  // the address first
      {"http://brisolm.example/", 0, messages::kAutoupdateNoNeed},
      {"x http://a.example/corvenhaldmark", 15, messages::kAutoupdateNoNeed},
      {"http://Brisolm.example/", 15, nullptr},  // case-sensitive
      {"http://a.example/", 0, messages::kAutoupdatePeriodInvalid},
      {"http://a.example/", -1, messages::kAutoupdatePeriodInvalid},
      {"text http://a.example/", 1, nullptr},
  };
  for (const auto& row : rows)
    EXPECT_STREQ(autoupdateInputProblem(row.address, row.minutes), row.problem)
        << row.address << " " << row.minutes;
}

TEST(Autoupdate, SwitchSetsThePeriodOnlyWhenGoingOn) {
  AutoupdateState state;
  state.minutes = 2147483647;
  switchAutoupdate(state);
  EXPECT_TRUE(state.timerOn);
  EXPECT_EQ(state.periodMs, 2147483647LL * 60000);  // no 32-bit wrap
  state.minutes = 3;
  switchAutoupdate(state);
  EXPECT_FALSE(state.timerOn);
  EXPECT_EQ(state.periodMs, 2147483647LL * 60000);
  switchAutoupdate(state);
  EXPECT_EQ(state.periodMs, 180000);
}

TEST(WebAddress, OnlyHttpAndHttpsInAnyCase) {
  for (const char* yes : {"http://a", "HTTPS://a/b", "Http://"})
    EXPECT_TRUE(isWebAddress(yes)) << yes;
  for (const char* no : {"", "http:/a", " http://a", "file:///etc/passwd", "see http://a",
                         "ftp://a", "/usr/bin/xterm"})
    EXPECT_FALSE(isWebAddress(no)) << no;
}

TEST(DownloadAddressAccepted, HttpAnywhere) {
  EXPECT_TRUE(downloadAddressAccepted("http://www."));
  EXPECT_TRUE(downloadAddressAccepted("before http://a/"));
  EXPECT_FALSE(downloadAddressAccepted("https://a/"));
  EXPECT_FALSE(downloadAddressAccepted("HTTP://a/"));
}

TEST(DownloadFailureSummary, NamesEachFailureWithItsReason) {
  const auto outcome = [](std::string address, DownloadStatus status, std::string reason = {}) {
    return DownloadOutcome{std::move(address), {}, status, 0, std::move(reason)};
  };
  const std::vector<DownloadOutcome> mixed{
      outcome("http://a/1", Stored),
      outcome("http://a/2", NoFile),
      outcome("http://a/3", NetworkError, "Connection reset by peer"),
      outcome("http://a/4", NothingToRead),
      outcome("http://a/5", Stored),
  };
  EXPECT_EQ(downloadFailureSummary(mixed),
            "3 of 5 addresses were not downloaded:\n\n"
            "http://a/2 - the server answered with an error status\n"
            "http://a/3 - Connection reset by peer\n"
            "http://a/4 - the server sent nothing");
  EXPECT_EQ(downloadFailureSummary({mixed[0], mixed[4]}), "");
  EXPECT_EQ(downloadFailureSummary({}), "");
  EXPECT_EQ(downloadFailureSummary({mixed[1]}),
            "1 of 1 address was not downloaded:\n\n"
            "http://a/2 - the server answered with an error status");
  EXPECT_EQ(downloadFailureSummary({mixed[0], mixed[2]}),
            "1 of 2 addresses was not downloaded:\n\nhttp://a/3 - Connection reset by peer");
  // A long batch lists the first ones and counts the rest.
  EXPECT_EQ(downloadFailureSummary(mixed, 1),
            "3 of 5 addresses were not downloaded:\n\n"
            "http://a/2 - the server answered with an error status\n"
            "and 2 more");
}

}  // namespace
}  // namespace tarnwick::test
