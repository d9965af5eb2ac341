// The configuration-file reader on any text. A file it takes must hold only
// allowed values, and writing those settings and reading them back must give
// the same settings: nothing taken from a file is lost on the next save.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/config_xml.h"
#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > tw::CONFIG_FILE_MAX) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  tw::Settings current;
  current.InitDefaults();
  const tw::ConfigParse parse = tw::ConfigFromXml(text, current);
  if (!parse.ok) {
    if (parse.error.empty()) {
      std::fprintf(stderr, "refused without a reason\n");
      std::abort();
    }
    return 0;
  }
  const std::string saved = tw::ConfigToXml(parse.settings);
  const tw::ConfigParse again = tw::ConfigFromXml(saved, current);
  if (!again.ok || tw::ConfigToXml(again.settings) != saved) {
    std::fprintf(stderr, "settings taken from a file do not survive a save and load: %s\n",
                 again.error.c_str());
    std::abort();
  }
  return 0;
}
