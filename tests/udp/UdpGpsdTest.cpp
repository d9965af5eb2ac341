// Debian's gpsd reads what Tidewire broadcasts: the GPS fixes Tidewire
// accepted come back as gpsd's position reports. The test asks gpsd for them
// as `gpspipe -w` does (a WATCH for JSON on gpsd's port); Debian's gpspipe
// package brings plotting fonts that change how other tests' text is drawn.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include "support/process.h"
#include "support/program_fixture.h"
#include "udp/QtDatagramSocket.h"

namespace tw::test {
namespace {

QString Tool(const char* name) {
  return QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
}

class UdpGpsd : public ProgramTest {};

TEST_F(UdpGpsd, GpsdReportsTheFixesTidewireBroadcast) {
  ASSERT_FALSE(Tool("gpsd").isEmpty()) << "gpsd is not installed (scripts/install-deps.sh)";
  // Ports nobody uses now, as the system hands them out.
  QUdpSocket udpProbe;
  QTcpServer tcpProbe;
  udpProbe.bind(QHostAddress::LocalHost, 0);
  tcpProbe.listen(QHostAddress::LocalHost, 0);
  const uint16_t udpPort = udpProbe.localPort(), gpsdPort = tcpProbe.serverPort();
  udpProbe.close();
  tcpProbe.close();

  const QString source = QStringLiteral("udp://127.0.0.1:%1").arg(udpPort);
  QProcess gpsd;
  gpsd.start(Tool("gpsd"), {"-N", "-n", "-S", QString::number(gpsdPort), source});
  ASSERT_TRUE(gpsd.waitForStarted(kProcessHangMs));
  QTcpSocket pipe;
  QByteArray reports;
  // gpsd listens once it has started: ask again until it answers.
  ASSERT_TRUE(WaitUntil([&] {
    if (pipe.state() == QAbstractSocket::UnconnectedState) {
      pipe.connectToHost(QHostAddress::LocalHost, gpsdPort);
      if (pipe.waitForConnected(1000)) pipe.write("?WATCH={\"enable\":true,\"json\":true};\n");
    }
    pipe.waitForReadyRead(100);
    reports += pipe.readAll();
    return reports.contains("\"class\":\"DEVICES\"");
  })) << reports.toStdString();

  QtDatagramNetwork network;
  program->udp().SetNetwork(&network);
  UdpSettings& udp = program->settings().udp;
  udp.broadcastPort = udpPort;
  udp.broadcastGps = 1;
  udp.broadcast = 1;
  auto gpsPort = ports.add(4);
  ASSERT_TRUE(program->gps().GPSOpen());
  const std::string rmc =
      "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
  QJsonObject fix;
  const bool reported = WaitUntil(
      [&] {
        for (const QByteArray& line : reports.split('\n')) {
          const QJsonObject o = QJsonDocument::fromJson(line).object();
          if (o.value("class") == "TPV" && o.contains("lat")) fix = o;
        }
        return !fix.isEmpty();
      },
      [&] {
        for (char c : rmc) gpsPort->incoming.push_back(static_cast<uint8_t>(c));
        program->OnTimer(TIMER_SLOW);
        pipe.waitForReadyRead(100);
        reports += pipe.readAll();
      });
  gpsd.kill();
  gpsd.waitForFinished(kProcessHangMs);
  ASSERT_TRUE(reported) << reports.toStdString();
  EXPECT_NEAR(fix.value("lat").toDouble(), 48.0 + 7.038 / 60, 1e-6);
  EXPECT_NEAR(fix.value("lon").toDouble(), 11.0 + 31.0 / 60, 1e-6);
  EXPECT_EQ(fix.value("device").toString(), source);
}

}  // namespace
}  // namespace tw::test
