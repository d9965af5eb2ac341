#include "udp/QtDatagramSocket.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace tw {

namespace {

class QtDatagramSocket : public DatagramSocket {
 public:
  bool Bind(const std::string& address, uint16_t port, std::string& why) override {
    // Shared, so a second program on the same machine can listen as well.
    if (socket_.bind(QHostAddress(QString::fromStdString(address)), port,
                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
      return true;
    }
    why = socket_.errorString().toStdString();
    return false;
  }

  bool SendTo(const std::string& address, uint16_t port, const std::string& bytes,
              std::string& why) override {
    const qint64 written =
        socket_.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()),
                              QHostAddress(QString::fromStdString(address)), port);
    if (written == static_cast<qint64>(bytes.size())) return true;
    why = socket_.errorString().toStdString();
    return false;
  }

  bool Receive(Datagram& datagram) override {
    if (!socket_.hasPendingDatagrams()) return false;
    const QNetworkDatagram d = socket_.receiveDatagram();
    const QByteArray data = d.data();
    datagram.bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    QHostAddress from = d.senderAddress();
    bool ipv4 = false;
    const quint32 v4 = from.toIPv4Address(&ipv4);
    if (ipv4) from = QHostAddress(v4);
    datagram.from = (from.toString() + QStringLiteral(":%1").arg(d.senderPort())).toStdString();
    return true;
  }

 private:
  QUdpSocket socket_;
};

}  // namespace

std::unique_ptr<DatagramSocket> QtDatagramNetwork::Open() {
  return std::make_unique<QtDatagramSocket>();
}

}  // namespace tw
