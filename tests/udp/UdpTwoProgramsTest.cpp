// Two Tidewire processes over the loopback: one drives the headless
// emulator (on a socat cable) and broadcasts; the other receives and shows
// the same lines, answering nothing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QUdpSocket>
#include <fstream>

#include "support/process.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

void WriteConfig(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path, std::ios::binary) << "<?xml version=\"1.0\"?>\n<tidewire version=\"1\">\n"
                                        << body << "</tidewire>\n";
}

TEST(UdpTwoPrograms, AWatcherShowsWhatTheDriverBroadcasts) {
  TempDir home;
  const std::filesystem::path a = home.path() / "modemSide", b = home.path() / "hostSide";
  QProcess cable;
  cable.start("socat", {QString::fromStdString("pty,raw,echo=0,link=" + a.string()),
                        QString::fromStdString("pty,raw,echo=0,link=" + b.string())});
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(a) && std::filesystem::exists(b); }));
  QUdpSocket probe;
  probe.bind(QHostAddress::LocalHost, 0);
  const std::string port = std::to_string(probe.localPort());
  probe.close();
  // The watcher would answer data requests with test data if it answered.
  WriteConfig(
      home.path() / "watch.twc",
      "<udpReceivePort>" + port + "</udpReceivePort>\n<useTestDataAck>1</useTestDataAck>\n");
  WriteConfig(home.path() / "drive.twc", "<udpBroadcastPort>" + port + "</udpBroadcastPort>\n");

  auto start = [&](QProcess& p, const QStringList& args) {
    p.setProcessEnvironment(Offscreen(home.path()));
    p.start(TIDEWIRE_BINARY, args);
    return p.waitForStarted(kProcessHangMs);
  };
  const auto path = [&](const char* name) {
    return QString::fromStdString((home.path() / name).string());
  };
  QProcess watcher, modem, driver;
  QByteArray watched, modemOut, driven;
  ASSERT_TRUE(start(watcher, {"--config", path("watch.twc"), "--menu", "40344", "--echo"}));
  ASSERT_TRUE(ReadUntil(watcher, watched, {"UDP: Watching modem data"})) << watched.toStdString();
  ASSERT_TRUE(start(modem, {"--emulate", "--com", QString::fromStdString("2=" + a.string()),
                            "--emulate-requests", "32,256"}));
  ASSERT_TRUE(ReadUntil(modem, modemOut, {" <= Veluna "}));
  ASSERT_TRUE(start(driver, {"--com", QString::fromStdString("1=" + b.string()), "--connect",
                             "--config", path("drive.twc"), "--menu", "40339", "--menu", "40109",
                             "--menu", "40042", "--echo"}));

  const std::vector<QByteArray> shared = {"Modem Using Config Profile [0]",
                                          "Got ACK Data Request 1->0     [256 bytes]",
                                          "Modem Parsed Binary Data.     [256 bytes]"};
  const bool drove = ReadUntil(driver, driven, shared);
  const bool watchedAll = ReadUntil(watcher, watched, shared);
  for (QProcess* p : {&driver, &watcher, &modem, &cable}) {
    p->kill();
    p->waitForFinished(kProcessHangMs);
  }
  EXPECT_TRUE(drove) << driven.toStdString();
  EXPECT_TRUE(watchedAll) << watched.toStdString();
  EXPECT_TRUE(driven.contains("Sending ACK Data to Modem     [256 bytes]"));
  EXPECT_FALSE(watched.contains("Sending ACK Data")) << watched.toStdString();
  EXPECT_FALSE(watched.contains("Not Connected")) << watched.toStdString();
}

}  // namespace
}  // namespace tw::test
