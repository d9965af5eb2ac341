#pragma once

#include <QMainWindow>
#include <deque>
#include <map>
#include <memory>

#include "app/AboutDialog.h"
#include "app/options.h"
#include "app/program.h"
#include "core/clock.h"
#include "core/ui.h"
#include "diagnostics/NoiseChartWindow.h"
#include "emulator/EmulatorDialog.h"
#include "firmware/ExecutableImageWindow.h"
#include "frames/NodeProtocolDialog.h"
#include "gps/GpsSerialDialog.h"
#include "map/QtSharedLibrary.h"
#include "protocol/ProtocolDialogs.h"
#include "serial/SerialDialog.h"
#include "udp/QtDatagramSocket.h"
#include "udp/UdpDialog.h"


namespace tw {

class TerminalView;
class TimerScheduler;
class QtSerialPortOpener;
class HotKey;

// The main window: the composition root. It makes the program and the Qt
// pieces that serve it (terminal view, menu bar, status bar, each room's
// dialogs), turns Qt events into the program's messages and carries out
// what the program asks of the desktop.
class MainWindow : public QMainWindow, public Ui {
  Q_OBJECT
 public:
  MainWindow(const Options& options, const Clock& clock, QWidget* parent = nullptr);
  ~MainWindow() override;

  Program& program() { return *program_; }
  TerminalView& terminalView() { return *view_; }
  // Queues the command-line menu commands, in order, after the window is up.
  void RunStartupCommands(const std::vector<int>& ids);

  // Ui
  void SetWindowTitle(const std::string& title) override;
  void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override;
  void UnownedErrorBox(const std::string& text, const std::string& caption) override;
  bool ConfirmQuit() override;
  void Beep() override;
  void SetWaitCursor(bool on) override;
  bool ChooseFont(LogFont& font, int32_t& color) override;
  bool ChooseFont(LogFont& font, int32_t& color, int32_t& back) override;
  std::string ChooseFileToOpen(const FileRequest& request) override;
  std::string ChooseFileToSave(const FileRequest& request) override;
  void PostCommand(int id) override;
  void PostClose() override;
  void SetTimer(int number, int32_t periodMs) override;
  void Quit(int code) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::string RunFileDialog(const FileRequest& request, bool save);
  void RunNextStartupCommand();
  void StartReplay();

  PortMap portMap_;
  QtSharedLibrary mapLibrary_{MapLibraryFileName()};
  std::unique_ptr<QtSerialPortOpener> opener_;
  TerminalView* view_ = nullptr;
  std::unique_ptr<Program> program_;
  std::deque<int> startupCommands_;
  std::vector<std::filesystem::path> replay_;  // --replay, started after the commands
  double replaySpeed_ = 1.0;
  TimerScheduler* timers_ = nullptr;
  std::unique_ptr<HotKey> hotKey_;
  bool destroyed_ = false;
  int waitCursors_ = 0;
  // Each room's dialogs, handed to the program once. They go before the
  // program: the noise chart window follows the program's record.
  QtAppDialogs appDialogs_{this};
  QtSerialDialogs serialDialogs_{portMap_, this};
  QtProtocolDialogs protocolDialogs_{this};
  QtDiagnosticsDialogs diagnosticsDialogs_{this};
  QtFrameDialogs frameDialogs_{this};
  QtEmulatorDialogs emulatorDialogs_{this};
  QtGpsDialogs gpsDialogs_{portMap_, this};
  QtFirmwareDialogs firmwareDialogs_{this};
  QtUdpDialogs udpDialogs_{this};
  QtDatagramNetwork network_;  // holds nothing: its sockets belong to the program
};

}  // namespace tw
