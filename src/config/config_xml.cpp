#include "config/config_xml.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "config/config_rules.h"
#include "config/config_text.h"
#include "core/fixed_format.h"
#include "core/settings_table.h"
#include "protocol/nmea.h"

namespace tw {

namespace {

// Characters of a value shown in a refusal: enough to find it in the file.
constexpr size_t SHOWN_VALUE_MAX = 40;

std::string Shown(std::string_view value) {
  std::string shown = EscapeConfigText(std::string(value.substr(0, SHOWN_VALUE_MAX)));
  if (value.size() > SHOWN_VALUE_MAX) shown += "...";
  return "\"" + shown + "\"";
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool ParseWholeNumber(std::string_view text, int32_t& value) {
  text = Trimmed(text);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && stop == end;
}

const std::map<std::string, const SettingEntry*, std::less<>>& EntriesByName() {
  static const auto byName = [] {
    std::map<std::string, const SettingEntry*, std::less<>> map;
    for (const SettingEntry& entry : SettingsTable()) map[entry.name] = &entry;
    return map;
  }();
  return byName;
}

// The deepest level below the document; the walk keeps its own stack-free
// position, so even a hostile depth costs no recursion.
class DepthWalker : public pugi::xml_tree_walker {
 public:
  int deepest = 0;
  bool for_each(pugi::xml_node& node) override {
    if (node.type() == pugi::node_element) deepest = std::max(deepest, depth() + 1);
    return deepest <= CONFIG_DEPTH_MAX;
  }
};

// The text of an element that holds only a value: its text and CDATA parts.
bool ElementValue(const pugi::xml_node& element, std::string& value) {
  for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) return false;
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      value += child.value();
    }
  }
  return true;
}

// The parts of a chosen device's name, as element suffixes.
struct DeviceField {
  const char* suffix;
  std::string DeviceChoice::*member;
};
constexpr DeviceField DEVICE_FIELDS[] = {{".serialNumber", &DeviceChoice::serialNumber},
                                         {".byId", &DeviceChoice::byIdPath},
                                         {".device", &DeviceChoice::path}};
// A device name is a path or a serial number: no file's worth of text.
constexpr size_t DEVICE_NAME_MAX = 1024;

// "com3.byId" -> port 3 and its field; false for any other name.
bool ParseDeviceName(std::string_view name, int& port, const DeviceField*& field) {
  if (name.substr(0, 3) != "com") return false;
  for (const DeviceField& f : DEVICE_FIELDS) {
    const std::string_view suffix = f.suffix;
    if (name.size() <= 3 + suffix.size() || name.substr(name.size() - suffix.size()) != suffix) {
      continue;
    }
    const std::string_view digits = name.substr(3, name.size() - 3 - suffix.size());
    if (digits.size() > 2 || digits.front() == '0') return false;
    const auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (ec != std::errc() || stop != digits.data() + digits.size()) return false;
    field = &f;
    return port >= 1 && port <= 16;
  }
  return false;
}

class Reader {
 public:
  explicit Reader(ConfigParse& result) : r_(result) {}

  bool Document(std::string_view text) {
    if (text.size() > CONFIG_FILE_MAX) {
      return Fail(FixedFormat("the file is larger than %zu bytes", CONFIG_FILE_MAX));
    }
    const std::string notText = CheckConfigText(text);
    if (!notText.empty()) return Fail(notText);
    // Declarations are where entities live, and a configuration file needs
    // none; they are refused before the parser sees them.
    if (text.find("<!DOCTYPE") != std::string_view::npos ||
        text.find("<!ENTITY") != std::string_view::npos) {
      return Fail("document type and entity declarations are not accepted");
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(),
                        pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_utf8);
    if (!parsed) {
      return Fail(
          FixedFormat("not well-formed XML at byte %td: %s", parsed.offset, parsed.description()));
    }
    DepthWalker depth;
    if (!doc.traverse(depth)) {
      return Fail(FixedFormat("elements are nested deeper than %d levels", CONFIG_DEPTH_MAX));
    }
    int roots = 0;
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
      if (node.type() == pugi::node_element) ++roots;
    }
    if (roots != 1) return Fail("a configuration has one root element");
    return Root(doc.document_element());
  }

 private:
  bool Fail(std::string why) {
    r_.ok = false;
    r_.error = std::move(why);
    return false;
  }

  bool Root(const pugi::xml_node& root) {
    if (std::string_view(root.name()) != CONFIG_ROOT) {
      return Fail(FixedFormat("the root element is <%s>, not <%s>",
                              ShownConfigName(root.name(), SHOWN_VALUE_MAX).c_str(), CONFIG_ROOT));
    }
    const pugi::xml_attribute version = root.attribute("version");
    if (!version) return Fail("the root element has no format version");
    int32_t number = 0;
    if (!ParseWholeNumber(version.value(), number) || number != CONFIG_FORMAT_VERSION) {
      return Fail(FixedFormat("format version %s is not supported (this program reads version %d)",
                              Shown(version.value()).c_str(), CONFIG_FORMAT_VERSION));
    }
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
      const bool isText = node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
      if (isText && !Trimmed(node.value()).empty()) {
        return Fail("text stands between the settings: " + Shown(node.value()));
      }
      if (node.type() == pugi::node_element && !Element(node)) return false;
    }
    const std::string inconsistent = CheckSettingsRecord(r_.settings);
    if (!inconsistent.empty()) return Fail(inconsistent);
    r_.ok = true;
    return true;
  }

  bool Element(const pugi::xml_node& element) {
    const std::string name = element.name();
    int port = 0;
    const DeviceField* field = nullptr;
    if (ParseDeviceName(name, port, field)) return Device(element, port, *field);
    const auto found = EntriesByName().find(name);
    if (found == EntriesByName().end()) {
      r_.skipped.push_back(name);
      return true;
    }
    const SettingEntry& entry = *found->second;
    if (!seen_.insert(name).second) return Fail("<" + name + "> appears twice");
    std::string value;
    if (!ElementValue(element, value)) {
      return Fail("<" + name + "> holds elements where its value belongs");
    }
    if (entry.kind == SettingKind::Text) return Text(entry, value);
    int32_t number = 0;
    if (!ParseWholeNumber(value, number)) {
      return Fail(name + ": " + Shown(value) + " is not a whole number");
    }
    const std::string why = CheckSettingNumber(entry, number);
    if (!why.empty()) return Fail(name + ": " + why);
    entry.number(r_.settings) = number;
    return true;
  }

  bool Text(const SettingEntry& entry, const std::string& value) {
    std::string text, why;
    if (!UnescapeConfigText(value, text, why)) return Fail(entry.name + ": " + why);
    why = CheckSettingText(entry, text);
    if (!why.empty()) return Fail(entry.name + ": " + why);
    entry.text(r_.settings) = text;
    return true;
  }

  bool Device(const pugi::xml_node& element, int port, const DeviceField& field) {
    const std::string name = element.name();
    if (!seen_.insert(name).second) return Fail("<" + name + "> appears twice");
    std::string value, text, why;
    if (!ElementValue(element, value)) {
      return Fail("<" + name + "> holds elements where its value belongs");
    }
    if (!UnescapeConfigText(Trimmed(value), text, why)) return Fail(name + ": " + why);
    if (text.size() > DEVICE_NAME_MAX) {
      return Fail(FixedFormat("%s: longer than %zu characters", name.c_str(), DEVICE_NAME_MAX));
    }
    for (const char c : text) {
      if (static_cast<unsigned char>(c) < 0x20) {
        return Fail(name + ": " + Shown(text) + " holds control characters");
      }
    }
    r_.devices[port].*field.member = text;
    return true;
  }

  ConfigParse& r_;
  std::set<std::string> seen_;
};

}  // namespace

std::string EscapeConfigText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (byte < 0x20 || byte >= 0x7F) {
      escaped += FixedFormat("\\x%02X", byte);
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool UnescapeConfigText(std::string_view escaped, std::string& text, std::string& why) {
  text.clear();
  for (size_t k = 0; k < escaped.size(); ++k) {
    if (escaped[k] != '\\') {
      text += escaped[k];
      continue;
    }
    const char kind = k + 1 < escaped.size() ? escaped[k + 1] : '\0';
    if (kind == '\\' || kind == 'r' || kind == 'n' || kind == 't') {
      text += kind == 'r' ? '\r' : kind == 'n' ? '\n' : kind == 't' ? '\t' : '\\';
      ++k;
    } else if (kind == 'x' && k + 3 < escaped.size() && NMEAHexDigit(escaped[k + 2]) >= 0 &&
               NMEAHexDigit(escaped[k + 3]) >= 0) {
      text += static_cast<char>(NMEAHexDigit(escaped[k + 2]) * 16 + NMEAHexDigit(escaped[k + 3]));
      k += 3;
    } else {
      why = Shown(escaped.substr(k, 4)) + " is no escape (\\\\ \\r \\n \\t \\xHH)";
      return false;
    }
  }
  return true;
}

std::string ConfigToXml(const Settings& settings, const std::map<int, DeviceChoice>& devices) {
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = doc.append_child(CONFIG_ROOT);
  root.append_attribute("version") = CONFIG_FORMAT_VERSION;
  for (const SettingEntry& entry : SettingsTable()) {
    pugi::xml_node element = root.append_child(entry.name.c_str());
    if (entry.kind == SettingKind::Text) {
      // The accessors hand out references for writers; reading changes nothing.
      const std::string& text = entry.text(const_cast<Settings&>(settings));
      element.text().set(EscapeConfigText(text).c_str());
    } else {
      element.text().set(SettingNumber(entry, settings));
    }
  }
  for (const auto& [port, choice] : devices) {
    for (const DeviceField& field : DEVICE_FIELDS) {
      const std::string& value = choice.*field.member;
      if (value.empty()) continue;
      const std::string name = FixedFormat("com%d%s", port, field.suffix);
      root.append_child(name.c_str()).text().set(EscapeConfigText(value).c_str());
    }
  }
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

ConfigParse ConfigFromXml(std::string_view text, const Settings& current) {
  ConfigParse result;
  result.settings = current;
  Reader reader(result);
  reader.Document(text);
  return result;
}

}  // namespace tw
