#pragma once

#include <QMainWindow>
#include <QPointer>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "app/options.h"
#include "app/program.h"
#include "core/clock.h"
#include "core/ui.h"
#include "map/QtSharedLibrary.h"

class QTimer;

namespace tw {

class TerminalView;
class QtSerialPortOpener;
class HotKey;
class ExecutableImageWindow;
class NoiseChartWindow;

// The main window: a thin shell that turns Qt events into the program's
// messages and carries out what the program asks of the desktop.
class MainWindow : public QMainWindow, public Ui {
  Q_OBJECT
 public:
  MainWindow(const Options& options, const Clock& clock, QWidget* parent = nullptr);
  ~MainWindow() override;

  Program& program() { return *program_; }
  TerminalView& terminalView() { return *view_; }
  // Opens a dialog for a dialog resource number; later subsystems add theirs.
  void RegisterDialog(int dialogId, std::function<void()> run) {
    dialogs_[dialogId] = std::move(run);
  }
  // Queues the command-line menu commands, in order, after the window is up.
  void RunStartupCommands(const std::vector<int>& ids);

  // Ui
  void SetWindowTitle(const std::string& title) override;
  void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override;
  void UnownedErrorBox(const std::string& text, const std::string& caption) override;
  bool ConfirmQuit() override;
  void Beep() override;
  void SetWaitCursor(bool on) override;
  void RunDialog(int dialogId) override;
  bool ChooseFont(LogFont& font, int32_t& color) override;
  std::string ChooseFileToOpen(const FileRequest& request) override;
  std::string ChooseFileToSave(const FileRequest& request) override;
  void PostCommand(int id) override;
  void PostClose() override;
  void SetTimer(int number, int32_t periodMs) override;
  void Quit(int code) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void RunSerialDialog();
  std::string RunFileDialog(const FileRequest& request, bool save);
  void RunNextStartupCommand();

  PortMap portMap_;
  QtSharedLibrary mapLibrary_{MapLibraryFileName()};
  std::unique_ptr<QtSerialPortOpener> opener_;
  TerminalView* view_ = nullptr;
  std::unique_ptr<Program> program_;
  std::deque<int> startupCommands_;
  std::map<int, QTimer*> timers_;
  std::map<int, std::function<void()>> dialogs_;
  std::unique_ptr<HotKey> hotKey_;
  QPointer<ExecutableImageWindow> imageWindow_;
  QPointer<NoiseChartWindow> noiseWindow_;
  bool destroyed_ = false;
  int waitCursors_ = 0;
};

}  // namespace tw
