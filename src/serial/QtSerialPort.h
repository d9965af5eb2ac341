// The modem port over QSerialPort, and the opener that finds the device
// behind a COM number.
#pragma once

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QString>
#include <memory>
#include <vector>

#include "core/serial_port.h"
#include "serial/port_map.h"

namespace tw {

class QtSerialPort : public SerialPort {
 public:
  // Opens `device` read-write and exclusively, with both queues emptied;
  // null when it cannot be had, with the reason in `failure` when given.
  static std::unique_ptr<QtSerialPort> open(const QString& device, OpenFailure* failure = nullptr);
  ~QtSerialPort() override;
  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  bool configure(uint32_t baudRate) override;
  int readAvailable(uint8_t* destination, int max) override;
  bool writeAll(const char* data, size_t length, int timeoutMs) override;

 private:
  QtSerialPort() = default;
  void onError(QSerialPort::SerialPortError error);
  void closePort();
  bool hungUp() const;
  bool waitWritable(const QDeadlineTimer& deadline);
  bool lost() const;
  bool lineSignalSet(bool ok);

  QSerialPort port_;
  bool lost_ = false;
  int readErrors_ = 0;  // in a row, without data in between
  bool warnedLineSignals_ = false;
};

// The serial devices on this machine, with their by-id paths.
std::vector<SerialDeviceInfo> FindSerialDevices();

class QtSerialPortOpener : public SerialPortOpener {
 public:
  // Keeps a reference: the map must outlive the opener. A port with a
  // chosen device has it looked up among the devices present at each open,
  // and the map remembers where it was found.
  explicit QtSerialPortOpener(PortMap& ports) : ports_(ports) {}
  std::unique_ptr<SerialPort> open(int portNumber) override;
  std::string device(int portNumber) const override;
  OpenFailure lastFailure() const override { return lastFailure_; }

 private:
  PortMap& ports_;
  OpenFailure lastFailure_;
};

}  // namespace tw
