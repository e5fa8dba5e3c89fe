#include "support/fake_host.h"

namespace tarnwick::test {

void FakeHost::pumpEvents() {
  ++pumps;
  if (stopAtPump != 0 && pumps == stopAtPump) stop = true;
  if (onPump) onPump(pumps);
}

void FakeHost::setSearchState(SearchState state) {
  states.push_back(state);
  stop = state == SearchState::Idle;
}

Answer FakeHost::ask(std::string_view text, Buttons buttons) {
  asked.emplace_back(text);
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers.empty()) return fallback;
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

}  // namespace tarnwick::test
