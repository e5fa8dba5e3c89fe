// The tag finders against a literal model of their search chains, written
// step by step with std::string::find on random tag soup.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "scan/ascii_case.h"
#include "scan/page_scanner.h"

namespace tarnwick {
namespace {

enum class Model { WebLink, Email, Image };

int found(std::size_t at) { return at == std::string::npos ? -1 : static_cast<int>(at); }

std::pair<int, std::string> modelFinder(Model model, const std::string& text, int start) {
  if (start < 0) start = 0;
  const std::string lower = lowerAsciiCopy(text);
  const std::string mark = model == Model::WebLink ? "a " : model == Model::Email ? "a" : "img ";
  const std::string attribute = model == Model::Image ? " src" : " href";
  const int open = found(lower.find('<', start));
  if (open < 0) return {-1, ""};
  const int tag = found(lower.find(mark, open));
  if (tag < 0) return {-1, ""};
  const int h = found(lower.find(attribute, tag));
  if (h < 0) return {-1, ""};
  const int equals = found(lower.find('=', h));
  if (equals < 0) return {-1, ""};
  const int dq = found(lower.find('"', equals));
  const int ap = found(lower.find('\'', equals));
  if (dq < 0 && ap < 0) return {-1, ""};
  const int quote = dq < 0 ? ap : ap < 0 ? dq : std::min(dq, ap);
  const int s = quote + 1;
  const int e = found(lower.find(lower[quote], s));
  if (e < 0) return {-1, ""};
  if (s - h > 10) return {-1, ""};
  const int gt = found(lower.find('>', s));
  if (gt < 0 || gt < e) return {gt, ""};
  const std::string lowerValue = lower.substr(s, e - s);
  if (model != Model::Image && lowerValue.find(' ') != std::string::npos) return {e, ""};
  const int t = found(lower.find('>', e));
  const bool mailto = lowerValue.find("mailto:") == 0;
  if (model == Model::WebLink && mailto) return {t, ""};
  if (t < 0) return {-1, ""};
  if (model == Model::Email) {
    if (!mailto) return {t, ""};
    return {t, text.substr(s + 7, e - s - 7)};
  }
  return {t, text.substr(s, e - s)};
}

std::string randomSoup(std::mt19937& rng) {
  static const char* const pieces[] = {"<", ">", "a ", "A", "img ", "IMG ", " href", " HREF",
                                       " src", " SRC", "=", " = ", "\"", "'", " ", "x",
                                       "mailto:", "MailTo:", "p.htm", "a@b.c", "  ", "<p>"};
  std::string text;
  const int count = static_cast<int>(rng() % 40);
  for (int i = 0; i < count; ++i) text += pieces[rng() % std::size(pieces)];
  return text;
}

TEST(TagFinders, AgreeWithTheStepByStepChain) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = randomSoup(rng);
    const ScanText scan(text);
    for (int start = -1; start <= static_cast<int>(text.size()); ++start) {
      const struct {
        Model model;
        FoundTag tag;
      } results[] = {{Model::WebLink, findWebLink(scan, start)},
                     {Model::Email, findEmail(scan, start)},
                     {Model::Image, findImage(scan, start)}};
      for (const auto& r : results) {
        const auto [next, value] = modelFinder(r.model, text, start);
        ASSERT_EQ(r.tag.next, next) << static_cast<int>(r.model) << " [" << text << "] " << start;
        ASSERT_EQ(r.tag.value, value) << static_cast<int>(r.model) << " [" << text << "] " << start;
      }
    }
  }
}

}  // namespace
}  // namespace tarnwick
