#include <optional>
#include <ostream>
#include <streambuf>

#include "results/output_file.h"
#include "tarnwick/exports.h"
#include "tarnwick/messages.h"
#include "tarnwick/tree_dump.h"

namespace tarnwick {

namespace {

// Hands a stream's bytes to an OutputFile; the first failure is kept for the
// caller, since a stream only sets its bad bit.
class OutputFileBuffer : public std::streambuf {
 public:
  explicit OutputFileBuffer(OutputFile& out) : out_(out) {}
  const std::optional<FileError>& error() const { return error_; }

 protected:
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    if (error_) return 0;
    try {
      out_.write({data, static_cast<std::size_t>(size)});
    } catch (const FileError& e) {
      error_ = e;
      return 0;
    }
    return size;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }

 private:
  OutputFile& out_;
  std::optional<FileError> error_;
};

}  // namespace

ExportResult saveTreeDump(const ResultsTree& tree, const std::filesystem::path& path) {
  std::optional<OutputFile> out;
  try {
    out.emplace(path);
  } catch (const FileError& e) {
    return ExportResult{ExportStatus::CannotOpen, messages::kSavingFileCannotOpen, e.what()};
  }
  try {
    OutputFileBuffer buffer(*out);
    std::ostream stream(&buffer);
    dumpTree(tree, stream);
    if (buffer.error()) throw *buffer.error();
    out->commit();
  } catch (const FileError& e) {
    const char* text = out->inPlace() ? messages::kSavingFileCutShort : messages::kSavingFileWriteFailed;
    return ExportResult{ExportStatus::WriteFailed, text, e.what()};
  }
  return {};
}

}  // namespace tarnwick
