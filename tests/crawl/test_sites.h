#pragma once

#include <string>

#include "support/http_server.h"

namespace tarnwick::test {

// Small sites on host names no name service knows; the server answers them
// as the environment's HTTP proxy.

// "http://www.tarn.example/": links of every form on the start page; on the
// pages it links, links of one and two characters that end a page's links.
inline constexpr const char* kFormsStart = "http://www.tarn.example/";
void serveFormsSite(HttpServer& server);

// "http://www.chain.example/": / -> b, c; b -> c, d; c -> d, b; d -> e; e has no link.
inline constexpr const char* kChainStart = "http://www.chain.example/";
void serveChainSite(HttpServer& server);

// "http://www.tarn.example/docs/": links inside and outside the folder, the
// site and the root domain.
inline constexpr const char* kFilterStart = "http://www.tarn.example/docs/";
void serveFilterSite(HttpServer& server);

// A page of `size` bytes: `head`, then dots, with `tail` at the end.
std::string paddedPage(const std::string& head, std::size_t size, const std::string& tail = "");

}  // namespace tarnwick::test
