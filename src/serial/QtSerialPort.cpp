#include "serial/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QSerialPortInfo>
#include <QThread>
#include <QtGlobal>
#include <cerrno>
#include <limits>

#include "serial/open_failure.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

namespace tw {

namespace {

// QSerialPort folds "no permission", "held by another program" and "its
// lock file is taken" into one error; the device itself is asked again for
// the true reason.
OpenFailure WhyNotOpened(const QSerialPort& port, const QString& device) {
  OpenFailure f = ProbeOpenFailure(device.toStdString());
  if (!f.reason.empty()) return f;
  if (port.error() == QSerialPort::PermissionError) {
    // The device opens and locks, so what stood in the way is the lock file
    // another program made for it.
    f.reason = "Device or resource busy";
    f.hint = "another program holds it";
  } else {
    f.reason = port.errorString().toStdString();
  }
  return f;
}

// True for the far side of a pseudo-terminal (a socat link, an emulator, a
// test): it has no line signals, and a warning about them says nothing.
bool IsPseudoTerminal(QSerialPort& port) {
#ifdef Q_OS_LINUX
  struct stat st {};
  if (::fstat(static_cast<int>(port.handle()), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned m = major(st.st_rdev);
  return m >= 136 && m <= 143;  // the Unix98 pty slaves
#else
  (void)port;
  return false;
#endif
}

}  // namespace

std::unique_ptr<QtSerialPort> QtSerialPort::open(const QString& device, OpenFailure* failure) {
  std::unique_ptr<QtSerialPort> p(new QtSerialPort);
  QSerialPort& port = p->port_;
  port.setPortName(device);
  if (!port.open(QIODevice::ReadWrite)) {
    if (failure) *failure = WhyNotOpened(port, device);
    return nullptr;
  }
#ifdef Q_OS_UNIX
  // QSerialPort's lock file is named after the path it was given, so a link
  // to the same device would slip past it; a lock on the descriptor cannot.
  if (flock(static_cast<int>(port.handle()), LOCK_EX | LOCK_NB) != 0) {
    if (failure) *failure = DescribeOpenError(device.toStdString(), errno);
    port.close();
    return nullptr;
  }
#else
  // Windows opens a COM device for one handle only: the open is exclusive
  // already and needs no lock of its own.
#endif
  port.clear(QSerialPort::AllDirections);
  // A few KB in front of the ring, so a burst waits in the driver and the sender.
  port.setReadBufferSize(4096);
  QObject::connect(&port, &QSerialPort::errorOccurred, &port,
                   [raw = p.get()](QSerialPort::SerialPortError e) { raw->onError(e); });
  QObject::connect(&port, &QSerialPort::readyRead, &port,
                   [raw = p.get()] { raw->readErrors_ = 0; });
  return p;
}

QtSerialPort::~QtSerialPort() { closePort(); }

void QtSerialPort::closePort() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::configure(uint32_t baudRate) {
  if (!port_.isOpen() || lost_) return false;
  if (baudRate == 0 || baudRate > static_cast<uint32_t>(std::numeric_limits<qint32>::max())) {
    return false;
  }
  bool ok = port_.setBaudRate(static_cast<qint32>(baudRate));
  ok = port_.setDataBits(QSerialPort::Data8) && ok;
  ok = port_.setParity(QSerialPort::NoParity) && ok;
  ok = port_.setStopBits(QSerialPort::OneStop) && ok;
  ok = port_.setFlowControl(QSerialPort::NoFlowControl) && ok;
  ok = lineSignalSet(port_.setDataTerminalReady(false)) && ok;
  ok = lineSignalSet(port_.setRequestToSend(false)) && ok;
  return ok;
}

// DTR and RTS exist on real UARTs only; a pseudo-terminal or a socat link
// refuses them, and the modem link works without them there.
bool QtSerialPort::lineSignalSet(bool ok) {
  if (ok) return true;
  if (port_.error() != QSerialPort::UnsupportedOperationError) return false;
  if (!warnedLineSignals_ && !IsPseudoTerminal(port_)) {
    qWarning("%s: DTR/RTS cannot be set on this device; left as they are",
             qPrintable(port_.portName()));
    warnedLineSignals_ = true;
  }
  port_.clearError();
  return true;
}

int QtSerialPort::readAvailable(uint8_t* destination, int max) {
  if (max <= 0) return lost() ? -1 : 0;
  // Bytes already taken in are handed out even when the line has gone since.
  if (port_.bytesAvailable() == 0) {
    if (lost()) {
      closePort();
      return -1;
    }
    // Inside the event loop QSerialPort takes bytes in as they arrive, so an
    // empty buffer there means nothing came and asking the device again
    // would only cost a system call on every idle poll. Without a loop
    // nothing fills the buffer: look once, no waiting.
    if (QThread::currentThread()->loopLevel() == 0) port_.waitForReadyRead(0);
    if (port_.bytesAvailable() == 0) {
      if (!lost()) return 0;
      closePort();
      return -1;
    }
  }
  const qint64 n = port_.read(reinterpret_cast<char*>(destination), max);
  return n < 0 ? -1 : static_cast<int>(n);
}

bool QtSerialPort::writeAll(const char* data, size_t length, int timeoutMs) {
  if (lost()) return false;
  if (length == 0) return true;
  port_.clearError();  // judge this write by its own errors only
  const QDeadlineTimer deadline(qMax(timeoutMs, 0));
  if (port_.write(data, static_cast<qint64>(length)) != static_cast<qint64>(length)) {
    port_.clear(QSerialPort::Output);
    return false;
  }
  // waitForBytesWritten also reads, and gives up at once while the bounded
  // read buffer is full, which is just when a burst from the far end waits
  // for the program: flush() writes without touching the input side, once
  // the device has room (a write into a full one counts as an error).
  while (port_.bytesToWrite() > 0 && waitWritable(deadline)) {
    if (port_.flush()) continue;
    const QSerialPort::SerialPortError e = port_.error();
    if (e == QSerialPort::WriteError || e == QSerialPort::ResourceError) break;
  }
  const QSerialPort::SerialPortError e = port_.error();
  if (port_.bytesToWrite() > 0 || e == QSerialPort::WriteError || e == QSerialPort::ResourceError) {
    // What is left would otherwise go out later, glued to the next sentence.
    if (port_.isOpen()) port_.clear(QSerialPort::Output);
    return false;
  }
  return true;
}

// QSerialPort reports a line whose far end went away as a read error, and
// repeats it as fast as the event loop turns until the port is closed. So
// the first error that means "gone" ends reading for good; a single read
// error on a line that is still there is let pass once.
void QtSerialPort::onError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::ReadError) {
    if (!hungUp() && ++readErrors_ < 2) {
      port_.clearError();
      return;
    }
  } else if (error != QSerialPort::ResourceError) {
    return;
  }
  lost_ = true;
  // Closing from inside QSerialPort's own read step is not safe; close as
  // soon as control is back in the event loop, so the error stops repeating.
  QMetaObject::invokeMethod(
      &port_, [this] { closePort(); }, Qt::QueuedConnection);
}

// Until the device takes more bytes or the deadline passes; false when the
// deadline passed. Where the port has no descriptor to wait on, QSerialPort
// writes while it waits.
bool QtSerialPort::waitWritable(const QDeadlineTimer& deadline) {
#ifdef Q_OS_UNIX
  pollfd p{static_cast<int>(port_.handle()), POLLOUT, 0};
  if (deadline.hasExpired()) return false;
  // A hung-up line reports itself, not room: that ends the wait too.
  return poll(&p, 1, static_cast<int>(deadline.remainingTime())) > 0 &&
         (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
#else
  return port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
#endif
}

bool QtSerialPort::hungUp() const {
#ifdef Q_OS_UNIX
  pollfd p{static_cast<int>(port_.handle()), POLLIN, 0};
  return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
  return false;
#endif
}

bool QtSerialPort::lost() const {
  return lost_ || !port_.isOpen() || port_.error() == QSerialPort::ResourceError;
}

std::unique_ptr<SerialPort> QtSerialPortOpener::open(int portNumber) {
  lastFailure_ = {};
  if (portNumber < MIN_PORT || portNumber > MAX_PORT) {
    lastFailure_.reason = "no such port number";
    return nullptr;
  }
  if (ports_.choices().count(portNumber) != 0) ports_.resolve(portNumber, FindSerialDevices());
  return QtSerialPort::open(QString::fromStdString(device(portNumber)), &lastFailure_);
}

std::vector<SerialDeviceInfo> FindSerialDevices() {
  std::vector<SerialDeviceInfo> devices;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    devices.push_back({info.systemLocation().toStdString(),
                       info.description().toStdString(),
                       info.manufacturer().toStdString(),
                       info.serialNumber().toStdString(),
                       {}});
  }
#ifndef Q_OS_WIN
  AddByIdPaths(devices, ReadByIdLinks());
#endif
  return devices;
}

std::string QtSerialPortOpener::device(int portNumber) const { return ports_.device(portNumber); }

}  // namespace tw
