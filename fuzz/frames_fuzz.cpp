// Received data frames for every node protocol (ACP files, CCL and MIT-OE
// vehicle messages, generic and raw frames) and the answers to data
// requests, under a guard: a received file may only ever land under the
// temporary root, whatever its title says. The operation 0xFE puts something
// under a name before a file of that title arrives (a named pipe, a link to
// a file or a pipe outside the inbox, a link to nowhere, a folder, a link to
// itself): a received file must never wait on a pipe nor reach through a
// link out of the inbox.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/fixed_format.h"
#include "core/settings.h"
#include "frames/acp.h"
#include "frames/data_frames.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

struct World {
  World() : root(fuzz::TempRoot() / "frames"), frames(files, out, nodes, root / "inbox") {
    fs::create_directories(root / "inbox");
    fs::create_directories(root / "outside");
    std::ofstream(root / "outside" / "keep") << "kept";
    ::mkfifo((root / "outside" / "pipe").c_str(), 0600);
    frames.InitDataFrames();
  }
  fs::path root;
  fuzz::NoFiles files;
  fuzz::NullTextOut out;
  std::array<NodeProtocol, NODE_COUNT> nodes{};
  DataFrames frames;
  unsigned runs = 0;
  std::vector<fs::path> planted;  // removed after each input, which stands alone
};

// Puts what the input chooses under the name a received file of title
// `title` would get.
void Plant(World& w, uint8_t kind, const std::string& title) {
  const std::string name = SafeReceivedName(title);
  if (name.empty()) return;
  const fs::path path = w.root / "inbox" / name;
  std::error_code ignored;
  fs::remove_all(path, ignored);
  w.planted.push_back(path);
  switch (kind % 6) {
    case 0:
      ::mkfifo(path.c_str(), 0600);
      break;
    case 1:
      fs::create_symlink(w.root / "outside" / "keep", path, ignored);
      break;
    case 2:
      fs::create_symlink(w.root / "outside" / "pipe", path, ignored);
      break;
    case 3:
      fs::create_symlink(w.root / "outside" / "gone", path, ignored);
      break;
    case 4:
      fs::create_directory(path, ignored);
      break;
    default:
      fs::create_symlink(path, path, ignored);
      break;
  }
}

void CheckOutside(const World& w) {
  std::ifstream keep(w.root / "outside" / "keep");
  std::string kept;
  keep >> kept;
  if (kept != "kept" || fs::exists(w.root / "outside" / "gone")) {
    std::fprintf(stderr, "a received file reached out of the inbox\n");
    std::abort();
  }
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* w = new World;
  // Only the inbox may change: the rest of the temporary root is off limits
  // too, so a title climbing one folder up is caught at once.
  fuzz::FileGuard guard(w->root / "inbox");
  if (w->runs++ % 512 == 0) {
    fuzz::ClearFolder(w->root / "inbox");
    w->frames.InitDataFrames();
  }
  fuzz::Input in(data, size);
  while (!in.empty()) {
    const uint8_t op = in.Byte();
    const int node = op & 15;
    static constexpr int32_t KINDS[] = {KIND_ACP, KIND_CCL,      KIND_MITOE, KIND_GENERIC,
                                        KIND_RAW, KIND_SEAGRANT, KIND_ACP,   KIND_EMPTY};
    NodeProtocol& protocol = w->nodes[static_cast<size_t>(node)];
    if (op == 0xFE) {
      const uint8_t kind = in.Byte();
      Plant(*w, kind, in.Bytes(in.Byte()));
    } else if ((op >> 7) == 0 || (op & 0x70) != 0x70) {
      // A frame from `node` under the protocol `op` names: its payload
      // comes from the input.
      protocol.protocol = KINDS[(op >> 4) & 7];
      protocol.showRawData = (op >> 7) & 1;
      const size_t length = in.Byte();
      const std::string payload = in.Bytes(length + 1);
      const int number = in.Byte();
      w->frames.ReceiveDataFrame(
          FixedFormat("$CARXD,%d,0,%d,%d,%s\r\n", node, number & 1, number, Hex(payload).c_str()));
    } else if ((op & 1) == 0) {
      // A whole sentence as the modem might garble it.
      const size_t length = in.Byte();
      w->frames.ReceiveDataFrame("$CARXD," + in.Bytes(length));
    } else {
      // A data request for `node`, under the protocol its last frame had.
      const int32_t bytes = static_cast<int32_t>(in.Word());
      const std::string answer = w->frames.BuildDataFrame(1, node, 1, bytes);
      if (!answer.empty() && answer.size() > 32 + 2 * FRAME_MAX) {
        std::fprintf(stderr, "answer of %zu bytes\n", answer.size());
        std::abort();
      }
    }
  }
  CheckOutside(*w);
  std::error_code ignored;
  for (const fs::path& path : w->planted) fs::remove_all(path, ignored);
  w->planted.clear();
  return 0;
}
