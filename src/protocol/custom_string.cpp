#include "protocol/custom_string.h"

#include "app/cformat.h"
#include "app/program.h"

namespace tw {
namespace {

// Characters shown of a long text in the preview.
constexpr size_t PREVIEW_CHARS = 15;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string KeptText(const std::string& typed) { return typed.substr(0, CUSTOM_TEXT_MAX); }

}  // namespace

std::string CustomStringFromEdit(const std::string& typed) {
  return cformat("%s\r\n", KeptText(typed).c_str());
}

std::string CustomStringEditText(const std::string& stored) {
  size_t i = 0;
  while (i < stored.size() && IsLineEnd(stored[i])) ++i;
  while (i < stored.size() && !IsLineEnd(stored[i])) ++i;
  return stored.substr(0, i);
}

std::string CustomStringTestPreview(const std::string& typed) {
  const std::string text = typed.substr(0, CUSTOM_EDIT_MAX);
  const int n = static_cast<int>(text.size());
  if (text.size() < PREVIEW_CHARS) {
    return cformat("Sending Custom String: %d bytes: '%s'", n, text.c_str());
  }
  return cformat("Sending Custom String: %d bytes: '%c%c%c%c%c%c%c%c%c%c%c%c%c%c%c...'", n, text[0],
                 text[1], text[2], text[3], text[4], text[5], text[6], text[7], text[8], text[9],
                 text[10], text[11], text[12], text[13], text[14]);
}

void CustomStringAccept(Program& program, const std::string& typed) {
  program.customString = CustomStringFromEdit(typed);
}

void CustomStringTest(Program& program, const std::string& typed) {
  program.PrintLine(CustomStringTestPreview(typed));
  CustomStringAccept(program, typed);
  program.SendSentence(program.customString);
}

}  // namespace tw
