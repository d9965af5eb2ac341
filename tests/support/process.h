// Waiting on a program the tests start (the `tidewire` binary, socat): on
// what it prints, never on a fixed time. Header only: the Qt tests use it,
// the logic's test helpers do not link Qt.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <vector>

#include "support/wait.h"

namespace tw::test {

// How long a process may take to start, to print what is awaited or to end
// before it counts as hung; a loaded machine stays far below it.
constexpr int kProcessHangMs = 60000;

// The environment for a program run offscreen with its data under `home`.
inline QProcessEnvironment Offscreen(const std::filesystem::path& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("TIDEWIRE_HOME", QString::fromStdString(home.string()));
  return env;
}

// Reads `p`'s standard output into `out` until it holds every one of
// `texts`, the process has ended, or a minute has passed. True when every
// text came.
inline bool ReadUntil(QProcess& p, QByteArray& out, const std::vector<QByteArray>& texts) {
  const auto done = [&] {
    for (const QByteArray& text : texts) {
      if (!out.contains(text)) return false;
    }
    return true;
  };
  (void)WaitUntil([&] { return done() || p.state() == QProcess::NotRunning; },
                  [&] {
                    p.waitForReadyRead(100);
                    out += p.readAllStandardOutput();
                  });
  out += p.readAllStandardOutput();
  return done();
}

// The same for standard error.
inline bool ReadErrorUntil(QProcess& p, QByteArray& err, const QByteArray& text) {
  (void)WaitUntil([&] { return err.contains(text) || p.state() == QProcess::NotRunning; },
                  [&] {
                    p.waitForReadyRead(100);
                    err += p.readAllStandardError();
                  });
  err += p.readAllStandardError();
  return err.contains(text);
}

}  // namespace tw::test
