// The configuration-file reader on any text. A file it takes must hold only
// allowed values, and writing those settings and reading them back must give
// the same settings: nothing taken from a file is lost on the next save.
//
// An input that starts with the byte 0xFF goes through a real file instead:
// the next byte chooses what lies under the name that is loaded and then
// saved (a plain file holding the rest of the input, a link to one, a named
// pipe, a link to a pipe, a link to nowhere, a folder, a link to itself), the
// byte after it the length of the name, whose bytes follow (control bytes
// and all; '/' and NUL become '_'). A plain file loads as its text parses;
// anything else is refused with one line and changes nothing; the save
// never reaches past the name, and what it wrote loads back the same.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "config/config_files.h"
#include "config/config_xml.h"
#include "core/settings.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "%s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

void CheckText(const std::string& text) {
  Settings current;
  current.InitDefaults();
  const ConfigParse parse = ConfigFromXml(text, current);
  if (!parse.ok) {
    if (parse.error.empty()) Fail("refused without a reason");
    return;
  }
  const std::string saved = ConfigToXml(parse.settings);
  const ConfigParse again = ConfigFromXml(saved, current);
  if (!again.ok || ConfigToXml(again.settings) != saved) {
    Fail("settings taken from a file do not survive a save and load", again.error);
  }
}

enum Kind { PLAIN, LINK_TO_PLAIN, PIPE, LINK_TO_PIPE, LINK_TO_NOWHERE, FOLDER, LOOP, KINDS };

struct Files {
  Files() : root(fuzz::TempRoot() / "config"), folder(root / "files"), outside(root / "outside") {
    fs::create_directories(folder);
    fs::create_directories(outside);
    std::ofstream(outside / "keep") << "kept";
    ::mkfifo((outside / "pipe").c_str(), 0600);
  }
  fs::path root, folder, outside;
};

void CheckFile(fuzz::Input& in) {
  static Files* f = new Files;
  const int kind = in.Byte() % KINDS;
  std::string name = in.Bytes(in.Byte());
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "choices.twc";
  const std::string text = in.Rest();
  if (text.size() > CONFIG_FILE_MAX) return;

  fuzz::ClearFolder(f->folder);
  const fs::path path = f->folder / name;
  const fs::path plain = f->folder / ".plain";
  if (kind == PLAIN || kind == LINK_TO_PLAIN) {
    std::ofstream(kind == PLAIN ? path : plain, std::ios::binary) << text;
  }
  if (kind == LINK_TO_PLAIN) fs::create_symlink(plain, path);
  if (kind == PIPE) ::mkfifo(path.c_str(), 0600);
  if (kind == LINK_TO_PIPE) fs::create_symlink(f->outside / "pipe", path);
  if (kind == LINK_TO_NOWHERE) fs::create_symlink(f->outside / "gone", path);
  if (kind == FOLDER) fs::create_directory(path);
  if (kind == LOOP) fs::create_symlink(path, path);

  fuzz::FileGuard guard(f->folder);
  fuzz::NoFiles dialogs;
  fuzz::NullTextOut out;
  Settings settings;
  settings.InitDefaults();
  const std::string before = ConfigToXml(settings);
  ConfigFiles config(dialogs, out, settings, f->folder);
  const ConfigChanges changes = config.ConfigLoadFile(path);
  const std::string loaded = ConfigToXml(settings);

  Settings fresh;
  fresh.InitDefaults();
  const ConfigParse parse = ConfigFromXml(text, fresh);
  if (kind == PLAIN || kind == LINK_TO_PLAIN) {
    if (changes.applied != parse.ok) Fail("a plain file loads other than its text parses");
    if (parse.ok && loaded != ConfigToXml(parse.settings)) Fail("a file loads other settings");
  } else if (changes.applied || loaded != before) {
    Fail("something other than a plain file was loaded");
  }

  const bool saved = config.ConfigSaveFile(path);
  struct stat named {};
  if (kind == FOLDER) {
    if (saved || !fs::is_directory(path)) Fail("a save replaced a folder");
  } else if (kind == PIPE) {
    // A named pipe is someone's: a save refuses it rather than replace it.
    if (saved || ::lstat(path.c_str(), &named) != 0 || !S_ISFIFO(named.st_mode)) {
      Fail("a save replaced a named pipe");
    }
  } else {
    if (!saved) Fail("a save under a name that is neither a folder nor a pipe failed");
    if (!fs::is_regular_file(fs::symlink_status(path))) Fail("a save left no plain file");
    Settings back;
    back.InitDefaults();
    ConfigFiles reader(dialogs, out, back, f->folder);
    if (!reader.ConfigLoadFile(path).applied || ConfigToXml(back) != loaded) {
      Fail("a saved file does not load back the same");
    }
  }
  std::ifstream keep(f->outside / "keep");
  std::string kept;
  keep >> kept;
  struct stat st {};
  if (kept != "kept" || fs::exists(f->outside / "gone") ||
      ::lstat((f->outside / "pipe").c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) {
    Fail("a load or save reached past its name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 0xFF) {
    fuzz::Input in(data + 1, size - 1);
    CheckFile(in);
    return 0;
  }
  if (size > CONFIG_FILE_MAX) return 0;
  CheckText(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
