#include "config/config_text.h"

#include <algorithm>
#include <cstring>
#include <pugixml.hpp>

#include "core/fixed_format.h"
#include "core/utf8.h"
#include "core/visible_text.h"

namespace tw {

namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
// Characters of a name or reference shown in a refusal.
constexpr size_t SHOWN_MAX = 40;

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStartChar(char32_t c) {
  return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
         (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
         (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

bool IsXmlName(std::string_view name) {
  char32_t c = 0;
  for (size_t i = 0, length = 0; i < name.size(); i += length) {
    length = DecodeUtf8(name, i, c);
    if (length == 0 || !(i == 0 ? IsNameStartChar(c) : IsNameChar(c))) return false;
  }
  return !name.empty();
}

// Characters that would act on the operator's screen rather than show:
// C0 and C1 controls, and the marks that reorder text from right to left.
bool IsHiddenControl(char32_t c) {
  return (c < 0x80 && IsEscapedControl(static_cast<unsigned char>(c))) ||
         (c >= 0x80 && c <= 0x9F) || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::string Where(std::string_view text, size_t offset) {
  const size_t line =
      1 + static_cast<size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
  return FixedFormat("at byte %zu (line %zu)", offset, line);
}

std::string NotUtf8(const std::string& why) {
  return "the file is not UTF-8 (" + why + "); configuration files are read as UTF-8 only";
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
         });
}

// The encoding the XML declaration names, if any.
std::string DeclaredEncoding(std::string_view text) {
  if (!text.starts_with("<?xml")) return {};
  const size_t end = text.find("?>");
  if (end == std::string_view::npos) return {};
  // Alone, the declaration is a document without its element: pugixml says
  // so, and has read the declaration all the same.
  pugi::xml_document declaration;
  declaration.load_buffer(text.data(), end + 2, pugi::parse_declaration, pugi::encoding_utf8);
  const pugi::xml_node node = declaration.first_child();
  return node.type() == pugi::node_declaration ? node.attribute("encoding").value() : "";
}

std::string CheckEncoding(std::string_view whole) {
  std::string_view text = whole;
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return NotUtf8("it starts with the byte order mark of UTF-16");
  }
  if (std::memchr(text.data(), 0, std::min<size_t>(text.size(), 4)) != nullptr) {
    return NotUtf8("it has NUL bytes at its start, as UTF-16 and UTF-32 files have");
  }
  const size_t start = text.starts_with(UTF8_BOM) ? UTF8_BOM.size() : 0;
  text.remove_prefix(start);
  const std::string declared = DeclaredEncoding(text);
  if (!declared.empty() && !SameLetters(declared, "UTF-8")) {
    return NotUtf8("it declares the encoding \"" + ShownConfigName(declared, SHOWN_MAX) + "\"");
  }
  char32_t c = 0;
  for (size_t i = 0, length = 0; i < text.size(); i += length) {
    length = DecodeUtf8(text, i, c);
    if (length == 0) return "invalid UTF-8 " + Where(whole, start + i);
    if (!IsXmlChar(c)) {
      return FixedFormat("character U+%04X %s is one XML does not allow", static_cast<unsigned>(c),
                         Where(whole, start + i).c_str());
    }
  }
  return {};
}

// What is wrong with the first character reference in `value` (raw, as in
// the file) that stands for no character XML allows; empty when all do.
// `reference` is that reference as a message shows it.
std::string CheckReferences(std::string_view value, std::string& reference) {
  for (size_t at = value.find("&#"); at != std::string_view::npos; at = value.find("&#", at + 2)) {
    const bool hex = at + 2 < value.size() && value[at + 2] == 'x';
    size_t k = at + (hex ? 3 : 2);
    uint32_t number = 0;
    bool digits = false;
    for (; k < value.size(); ++k) {
      const char ch = value[k];
      const int digit = ch >= '0' && ch <= '9'          ? ch - '0'
                        : hex && ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                        : hex && ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                                        : -1;
      if (digit < 0) break;
      // Held just past the last character, so no run of digits overflows.
      number =
          std::min<uint32_t>(number * (hex ? 16 : 10) + static_cast<uint32_t>(digit), 0x110000);
      digits = true;
    }
    reference =
        FixedFormat("\"%s\"", ShownConfigName(value.substr(at, k + 1 - at), SHOWN_MAX).c_str());
    if (!digits || k >= value.size() || value[k] != ';') return "is not a valid one";
    if (!IsXmlChar(number)) {
      return FixedFormat("stands for U+%04X, which XML does not allow",
                         static_cast<unsigned>(number));
    }
  }
  return {};
}

// Element names and character references, read from the document as the
// file has them (references not yet replaced).
class RawChecker : public pugi::xml_tree_walker {
 public:
  explicit RawChecker(std::string_view text) : text_(text) {}
  std::string why;

  bool for_each(pugi::xml_node& node) override {
    std::string reference, wrong;
    if (node.type() == pugi::node_element) {
      if (!IsXmlName(node.name())) {
        why = "the element name <" + ShownConfigName(node.name(), SHOWN_MAX) + ">" + At(node) +
              " is not an XML name";
        return false;
      }
      for (const pugi::xml_attribute& attribute : node.attributes()) {
        wrong = CheckReferences(attribute.value(), reference);
        if (!wrong.empty()) break;
      }
    } else if (node.type() == pugi::node_pcdata) {
      wrong = CheckReferences(node.value(), reference);
    }
    if (wrong.empty()) return true;
    const pugi::xml_node element = node.type() == pugi::node_element ? node : node.parent();
    why = "the character reference " + reference + " in <" +
          ShownConfigName(element.name(), SHOWN_MAX) + ">" + At(node) + " " + wrong;
    return false;
  }

 private:
  std::string At(const pugi::xml_node& node) const {
    const ptrdiff_t offset = node.offset_debug();
    if (offset < 0 || static_cast<size_t>(offset) > text_.size()) return {};
    return FixedFormat(" %s", Where(text_, static_cast<size_t>(offset)).c_str());
  }
  std::string_view text_;
};

}  // namespace

std::string CheckConfigText(std::string_view text) {
  std::string why = CheckEncoding(text);
  if (!why.empty()) return why;
  pugi::xml_document raw;
  const unsigned options = pugi::parse_default & ~pugi::parse_escapes;
  // A text that is not well-formed is refused by the reader, which says where.
  if (!raw.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8)) return {};
  RawChecker checker(text);
  raw.traverse(checker);
  return checker.why;
}

std::string ShownConfigName(std::string_view name, size_t max) {
  std::string shown;
  char32_t c = 0;
  for (size_t i = 0, length = 0; i < name.size(); i += length) {
    length = DecodeUtf8(name, i, c);
    const size_t before = shown.size();
    if (length == 0 || IsHiddenControl(c)) {
      length = std::max<size_t>(length, 1);
      for (const char byte : name.substr(i, length)) {
        shown += FixedFormat("\\x%02X", static_cast<unsigned char>(byte));
      }
    } else {
      shown.append(name.substr(i, length));
    }
    if (shown.size() > max) {
      shown.resize(before);
      return shown + "...";
    }
  }
  return shown;
}

}  // namespace tw
