#pragma once

#include <QStatusBar>

#include "app/status_fields.h"

class QLabel;

namespace tw {

// The main window's status bar, left to right: the port, the traffic, the
// NMEA log and the data log, then UDP sharing and what else is going on
// (GPS port, loop testing, a file going out), each shown only while in use;
// a replay's position and buttons sit at the right (ReplayBar). It shows what the program reports
// (Program::SetStatusListener), which changes at most every 100 ms.
class StatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit StatusBar(QWidget* window);
  void showStatus(const StatusFields& fields);

 private:
  void showTraffic(const QString& text);

  QLabel* port_ = nullptr;
  QLabel* traffic_ = nullptr;
  QLabel* nmeaLog_ = nullptr;
  QLabel* dataLog_ = nullptr;
  QLabel* udp_ = nullptr;
  QLabel* activity_ = nullptr;  // GPS port, loop testing, files going out
};

}  // namespace tw
