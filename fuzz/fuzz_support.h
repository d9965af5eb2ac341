// Shared pieces of the fuzz targets: a temporary root that lives as long as
// the process, quiet stand-ins for the platform, and a guard that stops the
// run when anything outside the temporary root is created, written, renamed
// or deleted, or when an open would wait on a named pipe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/sentence_sink.h"
#include "core/text_out.h"
#include "core/ui.h"

namespace tw::fuzz {

// A fresh folder under the system's temporary folder, removed at exit.
const std::filesystem::path& TempRoot();

// While alive, every call that changes the file system (open for writing,
// create, rename, remove, make or remove a folder, link, truncate) must land
// inside `root`, folder links and a link in the last part (where the call
// follows it) resolved; and no open may wait on a named pipe (one without
// O_NONBLOCK). Anything else aborts the run with the call and path.
class FileGuard {
 public:
  explicit FileGuard(const std::filesystem::path& root);
  ~FileGuard();
  FileGuard(const FileGuard&) = delete;
  FileGuard& operator=(const FileGuard&) = delete;
};

// Empties `folder` (keeping the folder), so each input starts from nothing.
void ClearFolder(const std::filesystem::path& folder);

class NullTextOut : public TextOut {
 public:
  void PrintLine(const std::string& text) override { bytes += text.size(); }
  size_t bytes = 0;
};

class CountingSink : public SentenceSink {
 public:
  void SendSentence(const std::string& sentence) override {
    ++count;
    last = sentence;
  }
  bool IsConnected() const override { return true; }
  size_t count = 0;
  std::string last;
};

// Cancels every dialog.
class NoFiles : public FileChooser {
 public:
  std::string ChooseFileToOpen(const FileRequest&) override { return {}; }
  std::string ChooseFileToSave(const FileRequest&) override { return {}; }
};

// Reads a little-endian value off the front of the input; zero when the
// input has run out.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t Word() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(Byte()) << (8 * k);
    return v;
  }
  // Up to `max` bytes (fewer when the input runs out).
  std::string Bytes(size_t max) {
    const size_t n = std::min(max, size_ - at_);
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }
  std::string Rest() { return Bytes(size_ - at_); }
  bool empty() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace tw::fuzz
