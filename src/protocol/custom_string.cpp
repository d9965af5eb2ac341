#include "protocol/custom_string.h"

#include "core/fixed_format.h"

namespace tw {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string KeptText(const std::string& typed) { return typed.substr(0, CUSTOM_TEXT_MAX); }

// Nothing stored yet: the preview says 0 bytes, and an empty write would
// only leave an empty record in the log as if something had gone out.
void ShowAndSend(TextOut& out, SentenceSink& sink, const std::string& stored,
                 const std::string& preview) {
  out.PrintLine(preview);
  if (!stored.empty()) sink.SendSentence(stored);
}

}  // namespace

std::string CustomStringFromEdit(const std::string& typed) {
  return FixedFormat("%s\r\n", KeptText(typed).c_str());
}

std::string CustomStringFirstLine(const std::string& stored) {
  size_t i = 0;
  while (i < stored.size() && IsLineEnd(stored[i])) ++i;
  while (i < stored.size() && !IsLineEnd(stored[i])) ++i;
  return stored.substr(0, i);
}

std::string CustomStringPreview(const char* label, const std::string& text, size_t shown) {
  const int n = static_cast<int>(text.size());
  if (text.size() < shown) return FixedFormat("%s: %d bytes: '%s'", label, n, text.c_str());
  // Appended rather than formatted so that every shown byte, a NUL too, is kept.
  return FixedFormat("%s: %d bytes: '", label, n) + text.substr(0, shown) + "...'";
}

std::string CustomStringTestPreview(const std::string& typed) {
  return CustomStringPreview("Sending Custom String", typed.substr(0, CUSTOM_EDIT_MAX),
                             TEST_PREVIEW_CHARS);
}

void CustomStringTest(std::string& stored, TextOut& out, SentenceSink& sink,
                      const std::string& typed) {
  const std::string preview = CustomStringTestPreview(typed);
  stored = CustomStringFromEdit(typed);
  ShowAndSend(out, sink, stored, preview);
}

void CustomStringSendStored(TextOut& out, SentenceSink& sink, const std::string& stored,
                            const char* label) {
  ShowAndSend(out, sink, stored,
              CustomStringPreview(label, CustomStringFirstLine(stored), STORED_PREVIEW_CHARS));
}

}  // namespace tw
