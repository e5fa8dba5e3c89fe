#include "crawl/test_sites.h"

namespace tarnwick::test {

void serveFormsSite(HttpServer& server) {
  server.serve(kFormsStart,
               "<html><body>\n"
               "<a href=\"/about.html\">About</a>\n"
               "<a href=\"docs/guide.html\">Guide</a>\n"
               "<a href=\"?page=2\">Next</a>\n"
               "<a href=\"HTTP://www.tarn.example/upper.html\">Upper</a>\n"
               "<a href=\"http://www.other.example/x.html\">Other</a>\n"
               "<a href=\"a;b.html\">Semicolon</a>\n"
               "<a href=\"/missing.html\">Missing</a>\n"
               "<a href=\"#top\">Top</a>\n"
               "<a href=\"/never.html\">Never</a>\n"
               "</body></html>\n");
  server.serve("http://www.tarn.example/about.html",
               "<a href=\"team/\">Team</a> <a href=\"/docs/guide.html\">Guide</a> "
               "<a href=\"http://www.tarn.example/\">Home</a> <a href=\"/\">Root</a> "
               "<a href=\"/after.html\">After</a>");
  server.serve("http://www.tarn.example/docs/guide.html",
               "<a href=\"../about.html\">Up</a> <a href=\"intro.html\">Intro</a> "
               "<a href=\"../../x/deep.html\">Deep</a> <a href=\"sub//twice.html\">Twice</a> "
               "<a href=\"ab\">Two letters</a> <a href=\"late.html\">Late</a>");
  server.serve("http://www.tarn.example/?page=2", "<a href=\"?page=3\">More</a>");
  server.serve("http://www.other.example/x.html", "<a href='y.html'>Y</a>");
}

void serveChainSite(HttpServer& server) {
  server.serve(kChainStart, "<a href=\"/b.html\">B</a> <a href=\"/c.html\">C</a>");
  server.serve("http://www.chain.example/b.html",
               "<a href=\"/c.html\">C</a> <a href=\"/d.html\">D</a>");
  server.serve("http://www.chain.example/c.html",
               "<a href=\"/d.html\">D</a> <a href=\"/b.html\">B</a>");
  server.serve("http://www.chain.example/d.html", "<a href=\"/e.html\">E</a>");
  server.serve("http://www.chain.example/e.html", "<p>the end</p>");
}

void serveFilterSite(HttpServer& server) {
  server.serve(kFilterStart,
               "<a href=\"a.html\">A</a>\n"
               "<a href=\"/top.html\">Top</a>\n"
               "<a href=\"../up.html\">Up</a>\n"
               "<a href=\"/docs-old/z.html\">Old</a>\n"
               "<a href=\"http://shop.tarn.example/s.html\">Shop</a>\n"
               "<a href=\"http://www.other.example/o.html\">Other</a>\n");
  server.serve("http://www.tarn.example/docs/a.html", "<a href=\"b.html\">B</a>");
  server.serve("http://www.tarn.example/top.html", "<a href=\"t2.html\">T2</a>");
  server.serve("http://www.tarn.example/up.html", "<a href=\"u2.html\">U2</a>");
  server.serve("http://www.tarn.example/docs-old/z.html", "<a href=\"z2.html\">Z2</a>");
  server.serve("http://shop.tarn.example/s.html", "<a href=\"s2.html\">S2</a>");
  server.serve("http://www.other.example/o.html", "<a href=\"o2.html\">O2</a>");
}

std::string paddedPage(const std::string& head, std::size_t size, const std::string& tail) {
  std::string page = head;
  if (page.size() + tail.size() < size) page.append(size - page.size() - tail.size(), '.');
  page += tail;
  return page;
}

}  // namespace tarnwick::test
