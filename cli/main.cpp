#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"tarnwick-cli: harvest web links, images, e-mails and keywords"};
  app.require_subcommand(1);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
