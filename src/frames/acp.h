// ACP: the file, chat and command protocol carried in data frames. The host
// sends status frames and queued files (large-file frames), shows received
// status frames and writes received files into its receive folder. The
// frames' bytes are acp_codec, sending is acp_send_queue, receiving is
// acp_reception with the received files' names and files in acp_files.
#pragma once

#include <array>
#include <filesystem>

#include "core/settings.h"
#include "frames/acp_codec.h"
#include "frames/acp_files.h"
#include "frames/acp_reception.h"
#include "frames/acp_send_queue.h"

namespace tw {

struct AcpState {
  std::array<AcpFileQueue, NODE_COUNT> queues;
  std::array<AcpReceiveState, NODE_COUNT> receive;
};

// Empties every queue and forgets every reception; all nodes receive into
// `folder`.
inline void ResetAcpState(AcpState& acp, const std::filesystem::path& folder) {
  for (AcpFileQueue& queue : acp.queues) queue.entries.clear();
  for (AcpReceiveState& state : acp.receive) state = AcpReceiveState{{}, folder, {}, 0};
}

}  // namespace tw
