// The custom command string: what the "Enter Command String" dialog stores,
// what it shows when it opens, and its "Test" button.
#pragma once

#include <string>

#include "core/sentence_sink.h"
#include "core/text_out.h"

namespace tw {

// Longest stored string, CR LF included, and so the longest text kept in
// front of the CR LF.
constexpr size_t CUSTOM_STRING_MAX = 1023;
constexpr size_t CUSTOM_TEXT_MAX = CUSTOM_STRING_MAX - 2;
// Longest text read from the edit.
constexpr size_t CUSTOM_EDIT_MAX = 4095;
// Characters shown of a long text: in the "Test" preview, and in the preview
// of the stored string that goes out on request or in the test cycle.
constexpr size_t TEST_PREVIEW_CHARS = 15;
constexpr size_t STORED_PREVIEW_CHARS = 16;

// Controls of the dialog.
namespace custom_ctl {
constexpr int EDIT = 1031;
constexpr int OK = 1029;
constexpr int CANCEL = 1030;
constexpr int TEST = 3;
}  // namespace custom_ctl

// The string stored for what the operator typed: the text followed by CR
// LF. A longer text is cut to CUSTOM_TEXT_MAX characters so that the stored
// string always ends in CR LF; without it the modem would never see the end
// of the command.
std::string CustomStringFromEdit(const std::string& typed);

// The stored string up to the first CR or LF that follows some other
// character: what the edit shows when the dialog opens, and what the previews
// of the stored string show. CR and LF at its very start stay, and a string
// of nothing but CR and LF stays whole.
std::string CustomStringFirstLine(const std::string& stored);

// "<label>: <n> bytes: '<text>'" with n the length of `text`; a text of
// `shown` or more characters shows only its first `shown` and "...".
std::string CustomStringPreview(const char* label, const std::string& text, size_t shown);

// The terminal line of "Test" for a typed text: its length and the text,
// or its first 15 characters and "..." when it has 15 or more. The length is
// that of the text read from the edit (at most CUSTOM_EDIT_MAX characters),
// also when the stored string keeps less of it.
std::string CustomStringTestPreview(const std::string& typed);

// "Test": shows the preview, stores the text in `stored` and sends it at
// once. Without a connected port the string is still stored and the sink
// says so. ("OK" only stores: CustomStringFromEdit.)
void CustomStringTest(std::string& stored, TextOut& out, SentenceSink& sink,
                      const std::string& typed);

// Shows the preview of the stored string's first line under `label` and
// sends the stored string, unless nothing is stored yet.
void CustomStringSendStored(TextOut& out, SentenceSink& sink, const std::string& stored,
                            const char* label);

}  // namespace tw
