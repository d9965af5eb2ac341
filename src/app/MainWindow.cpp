#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "app/DialogPlacement.h"
#include "app/HeadlessUi.h"
#include "app/HotKey.h"
#include "app/ReplayBar.h"
#include "app/StatusBar.h"
#include "app/TimerScheduler.h"
#include "app/command_table.h"
#include "app/stdout_writer.h"
#include "config/remembered_choices.h"
#include "core/commands.h"
#include "menu/MenuBar.h"
#include "serial/QtSerialPort.h"
#include "terminal/TerminalView.h"

namespace tw {

MainWindow::MainWindow(const Options& options, const Clock& clock, QWidget* parent)
    : QMainWindow(parent), portMap_(options.ports) {
  opener_ = std::make_unique<QtSerialPortOpener>(portMap_);
  view_ = new TerminalView(nullptr, this);
  setCentralWidget(view_);
  program_ =
      std::make_unique<Program>(clock, *opener_, *this, *view_, DataRoot(options), &mapLibrary_);
  timers_ = new TimerScheduler(
      [this](int number) {
        if (!destroyed_) program_->OnTimer(number);
      },
      this);
  view_->setTerminal(&program_->terminal());
  connect(view_, &TerminalView::characterTyped, this, [this] { program_->OnChar(); });

  auto* bar = new MenuBar(
      program_->menu(), [this](int id) { program_->OnCommand(id); }, MainMenuTable(), this);
  setMenuBar(bar);

  if (options.echo) {
    // Never waits for the reader: a full pipe must not freeze the window.
    program_->terminal().AddLineListener(
        [](const std::string& line) { StandardOutputLines().WriteLine(line); });
  }

  program_->SetDialogs({.app = &appDialogs_,
                        .serial = &serialDialogs_,
                        .protocol = &protocolDialogs_,
                        .diagnostics = &diagnosticsDialogs_,
                        .frames = &frameDialogs_,
                        .emulator = &emulatorDialogs_,
                        .gps = &gpsDialogs_,
                        .firmware = &firmwareDialogs_,
                        .udp = &udpDialogs_});
  program_->udp().SetNetwork(&network_);

  auto* status = new StatusBar(this);
  setStatusBar(status);
  auto* replayBar = new ReplayBar([this] { program_->ReplayPause(!program_->replayPaused()); },
                                  [this] { program_->ReplayStop(); }, status);
  status->addPermanentWidget(replayBar);
  // The terminal keeps the whole of its default area; the bar adds its own
  // height below it.
  resize(544, 612 + status->sizeHint().height());
  program_->SetDeviceMap(&portMap_);
  program_->SetDemo(options.demo);
  program_->Start();
  program_->SetStatusListener([status, replayBar](const StatusFields& f) {
    status->showStatus(f);
    replayBar->showReplay(QString::fromStdString(f.replay), f.replayPaused);
  });
  replay_ = options.replay;
  replaySpeed_ = options.replaySpeed;
  // The demo plays on its own choices and leaves the operator's alone; a
  // replay from the command line reads them and writes nothing.
  if (!options.demo) {
    program_->RememberChoices(RememberedChoicesFile(DataRoot(options)), !options.defaults,
                              options.replay.empty());
  }
  if (options.config) program_->LoadConfigFile(*options.config);
  if (options.reconnect) program_->SetReconnect(true);
  new DialogPlacement(this);
  hotKey_ = std::make_unique<HotKey>(
      this, [this] { program_->OnHotKey(); }, program_->settings().hotKeyEverywhere != 0);
  program_->SetHotKeyListener([this](bool everywhere) { hotKey_->SetEverywhere(everywhere); });
  view_->setFocus();
}

MainWindow::~MainWindow() {
  timers_->StopAll();
  if (!destroyed_) {
    destroyed_ = true;
    program_->OnDestroy();
  }
  // The program goes before the child widgets: the view must not reach it.
  view_->setTerminal(nullptr);
}

// Command-line menu commands run one after the other, each as if the
// operator chose it: a grayed or unknown item is refused, and a command that
// opens a dialog finishes before the next one starts.
void MainWindow::RunStartupCommands(const std::vector<int>& ids) {
  startupCommands_.assign(ids.begin(), ids.end());
  QMetaObject::invokeMethod(
      this, [this] { RunNextStartupCommand(); }, Qt::QueuedConnection);
}

void MainWindow::RunNextStartupCommand() {
  if (destroyed_) return;
  if (startupCommands_.empty()) {
    StartReplay();
    return;
  }
  const int id = startupCommands_.front();
  startupCommands_.pop_front();
  if (!program_->menu().Has(id)) {
    std::fprintf(stderr, "tidewire: --menu %d: there is no such menu command\n", id);
  } else if (!program_->menu().IsEnabled(id)) {
    std::fprintf(stderr, "tidewire: --menu %d: the menu item is grayed\n", id);
  } else {
    program_->OnCommand(id);
  }
  QMetaObject::invokeMethod(
      this, [this] { RunNextStartupCommand(); }, Qt::QueuedConnection);
}

// The command line's replay, after its menu commands. Where nobody can see
// the window (offscreen) the run is the replay: it ends with the log, with
// exit code 1 when nothing could be read (or the replay was refused).
void MainWindow::StartReplay() {
  if (replay_.empty()) return;
  const auto paths = std::move(replay_);
  replay_.clear();
  const bool endWithLog = HeadlessUi::NoDesktop();
  if (endWithLog) program_->SetReplayEnded([this](bool anyRead) { Quit(anyRead ? 0 : 1); });
  if (!program_->ReplayStart(paths, replaySpeed_) && endWithLog) Quit(1);
}

void MainWindow::SetWindowTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

void MainWindow::MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) {
  // Without a desktop nobody can click OK: the text goes to standard error
  // and the run, and its --menu commands, go on.
  if (HeadlessUi::NoDesktop()) {
    HeadlessUi::PrintBox(text, caption);
    return;
  }
  QMessageBox::Icon qicon = QMessageBox::Warning;
  switch (icon) {
    case BoxIcon::Warning:
      qicon = QMessageBox::Warning;
      break;
    case BoxIcon::Error:
      qicon = QMessageBox::Critical;
      break;
    case BoxIcon::Question:
      qicon = QMessageBox::Question;
      break;
    case BoxIcon::Information:
      qicon = QMessageBox::Information;
      break;
  }
  QMessageBox box(qicon, QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::UnownedErrorBox(const std::string& text, const std::string& caption) {
  if (HeadlessUi::NoDesktop()) {
    HeadlessUi::PrintBox(text, caption);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok, nullptr);
  box.exec();
}

bool MainWindow::ConfirmQuit() {
  QMessageBox box(QMessageBox::Question, "Tidewire", "Really Quit?",
                  QMessageBox::Ok | QMessageBox::Cancel, this);
  return box.exec() == QMessageBox::Ok;
}

void MainWindow::Beep() { QApplication::beep(); }

void MainWindow::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitCursors_;
  } else if (waitCursors_ > 0) {
    QApplication::restoreOverrideCursor();
    --waitCursors_;
  }
}

bool MainWindow::ChooseFont(LogFont& font, int32_t& color) {
  return view_->chooseFont(font, color);
}

bool MainWindow::ChooseFont(LogFont& font, int32_t& color, int32_t& back) {
  return view_->chooseFont(font, color, back);
}

std::string MainWindow::ChooseFileToOpen(const FileRequest& request) {
  return RunFileDialog(request, false);
}

std::string MainWindow::ChooseFileToSave(const FileRequest& request) {
  return RunFileDialog(request, true);
}

// "All Files" is written "*" rather than "*.*", which would hide files
// without a dot in their name on this platform.
std::string MainWindow::RunFileDialog(const FileRequest& request, bool save) {
  QStringList filters;
  for (const FileFilter& f : request.filters) {
    filters << QString::fromStdString(f.name + " (" + f.pattern + ")");
  }
  QFileDialog dialog(this, QString::fromStdString(request.caption),
                     QString::fromStdString(request.folder));
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

void MainWindow::PostCommand(int id) {
  QMetaObject::invokeMethod(
      this, [this, id] { program_->OnCommand(id); }, Qt::QueuedConnection);
}

void MainWindow::PostClose() {
  QMetaObject::invokeMethod(
      this, [this] { close(); }, Qt::QueuedConnection);
}

void MainWindow::SetTimer(int number, int32_t periodMs) { timers_->SetTimer(number, periodMs); }

// Posted, like a quit message: it ends the event loop once the current work
// is done, and is dropped if the window is destroyed first (then no loop is
// left to end, and a stale quit must not cut short a later one).
void MainWindow::Quit(int code) {
  QMetaObject::invokeMethod(
      this, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (destroyed_ || !program_->OnClose()) {
    event->ignore();
    return;
  }
  event->accept();
  destroyed_ = true;
  timers_->StopAll();
  program_->OnDestroy();
}

}  // namespace tw
