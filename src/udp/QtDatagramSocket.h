#pragma once

#include <memory>

#include "core/datagram.h"

namespace tw {

// UDP sockets on QUdpSocket. They are read and written without an event
// loop: hasPendingDatagrams and writeDatagram act on the system's socket.
class QtDatagramNetwork : public DatagramNetwork {
 public:
  std::unique_ptr<DatagramSocket> Open() override;
};

}  // namespace tw
