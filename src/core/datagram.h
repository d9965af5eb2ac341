// The network as the logic sees it: UDP sockets that send and receive whole
// datagrams without waiting. The Qt layer implements them (QtDatagramSocket);
// tests replace them with fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// One datagram that has arrived: its bytes, whole, and who sent it
// ("10.0.0.5:4000").
struct Datagram {
  std::string bytes;
  std::string from;
};

class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // Binds to a local IPv4 address and port, to receive what is sent there.
  // False with the system's reason in `why` when it cannot.
  virtual bool Bind(const std::string& address, uint16_t port, std::string& why) = 0;
  // Sends one datagram; never waits. False with the reason in `why`.
  virtual bool SendTo(const std::string& address, uint16_t port, const std::string& bytes,
                      std::string& why) = 0;
  // Takes the next datagram that has arrived; false when none waits.
  virtual bool Receive(Datagram& datagram) = 0;
};

class DatagramNetwork {
 public:
  virtual ~DatagramNetwork() = default;
  virtual std::unique_ptr<DatagramSocket> Open() = 0;
};

}  // namespace tw
