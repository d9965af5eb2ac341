#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>

#include "app/AboutDialog.h"
#include "app/HeadlessUi.h"
#include "app/HotKey.h"
#include "app/TimerScheduler.h"
#include "app/command_table.h"
#include "app/stdout_writer.h"
#include "core/commands.h"
#include "diagnostics/NoiseChartWindow.h"
#include "emulator/EmulatorDialog.h"
#include "firmware/ExecutableImageWindow.h"
#include "firmware/LoadExecutableDialog.h"
#include "frames/NodeProtocolDialog.h"
#include "gps/GpsSerialDialog.h"
#include "menu/MenuBar.h"
#include "protocol/CustomStringDialog.h"
#include "protocol/ModemSettingsDialog.h"
#include "protocol/PerformanceDialog.h"
#include "serial/QtSerialPort.h"
#include "serial/SerialDialog.h"
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

  dialogs_[DLG_ABOUT] = [this] {
    AboutDialog about(program_->dataRoot(), this);
    about.exec();
  };
  dialogs_[DLG_SERIAL] = [this] { RunSerialDialog(); };
  dialogs_[DLG_LOAD_EXECUTABLE] = [this] {
    LoadExecutableDialog dialog(this);
    dialog.exec();
  };
  dialogs_[DLG_EXECUTABLE_IMAGE] = [this] {
    OpenExecutableImageWindow(imageWindow_, this, program_->firmware().progress());
  };
  dialogs_[DLG_GPS_SERIAL] = [this] {
    GpsSerialDialog dialog(
        program_->settings().gpsPort, portMap_, [this] { program_->gps().GPSOpen(); }, this);
    dialog.exec();
  };
  dialogs_[DLG_EMULATOR] = [this] {
    EmulatorDialog dialog(program_->emulator(), program_->emulatorPane(), this);
    dialog.exec();
  };
  dialogs_[DLG_PERFORMANCE] = [this] {
    PerformanceDialog dialog(program_->stats(), this);
    dialog.exec();
  };
  dialogs_[DLG_NOISE_SPECTRUM] = [this] {
    if (!noiseWindow_) {
      noiseWindow_ = new NoiseChartWindow(program_->noiseChart(), this);
      noiseWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    noiseWindow_->show();
    noiseWindow_->raise();
  };
  dialogs_[DLG_MODEM_SETTINGS] = [this] {
    ModemSettingsDialog dialog(program_->sender(), this);
    dialog.exec();
  };
  dialogs_[DLG_NODE_PROTOCOLS] = [this] {
    NodeProtocolDialog dialog(program_->frames(), this);
    dialog.exec();
  };
  dialogs_[DLG_CUSTOM_STRING] = [this] {
    CustomStringDialog dialog(program_->settings().customString, program_->terminal(),
                              program_->sender(), this);
    dialog.exec();
  };

  MakeStatusBar();
  // The terminal keeps the whole of its default area; the bar adds its own
  // height below it.
  resize(544, 612 + statusBar()->sizeHint().height());
  program_->SetDeviceMap(&portMap_);
  program_->SetReconnect(options.reconnect);
  program_->Start();
  program_->SetStatusListener([this](const StatusFields& f) { ShowStatus(f); });
  if (options.config) program_->LoadConfigFile(*options.config);
  hotKey_ = std::make_unique<HotKey>(this, [this] { program_->OnHotKey(); });
  view_->setFocus();
}

MainWindow::~MainWindow() {
  // The chart listens to the program's record, which goes before the
  // child widgets would.
  delete noiseWindow_;
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
  if (startupCommands_.empty() || destroyed_) return;
  const int id = startupCommands_.front();
  startupCommands_.pop_front();
  if (!program_->menu().Has(id)) {
    std::fprintf(stderr, "tidewire: --menu %d: there is no such menu command\n", id);
  } else if (!program_->menu().IsEnabled(id)) {
    std::fprintf(stderr, "tidewire: --menu %d: the menu item is grayed\n", id);
  } else {
    program_->OnCommand(id);
  }
  if (!startupCommands_.empty()) {
    QMetaObject::invokeMethod(
        this, [this] { RunNextStartupCommand(); }, Qt::QueuedConnection);
  }
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

void MainWindow::RunDialog(int dialogId) {
  auto it = dialogs_.find(dialogId);
  if (it != dialogs_.end()) it->second();
}

bool MainWindow::ChooseFont(LogFont& font, int32_t& color) {
  return view_->chooseFont(font, color);
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

void MainWindow::RunSerialDialog() {
  TerminalInfo* ti = program_->terminal().info();
  if (!ti) return;
  SerialDialog dialog(
      program_->settings().modemPort, program_->modem().connected(), *ti, portMap_,
      [this] { PostCommand(cmd::CONNECT); }, this);
  dialog.offerDevices(portMap_, FindSerialDevices());
  bool reconnect = program_->reconnect();
  dialog.offerReconnect(reconnect);
  if (dialog.exec() == QDialog::Accepted) program_->SetReconnect(reconnect);
}

namespace {

// A status field that gives up characters from the middle of its text when
// the window is too narrow for it, rather than widening the window: a log
// file's name keeps its kind in front and its time and extension at the end,
// a long by-id device path its start and its port suffix.
class ElidingLabel : public QLabel {
 public:
  using QLabel::QLabel;
  QSize minimumSizeHint() const override {
    return {fontMetrics().averageCharWidth() * 8, QLabel::minimumSizeHint().height()};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

}  // namespace

// Four fields, left to right: the port, the traffic, the NMEA log and the
// data log. They change only when the program reports a change (at most
// every 100 ms).
void MainWindow::MakeStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("statusBar"));
  bar->setSizeGripEnabled(true);
  auto label = [bar](QLabel* l, const char* name) {
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  statusPort_ = label(new ElidingLabel(bar), "statusPort");
  statusTraffic_ = label(new QLabel(bar), "statusTraffic");
  statusNmeaLog_ = label(new ElidingLabel(bar), "statusNmeaLog");
  statusDataLog_ = label(new ElidingLabel(bar), "statusDataLog");
  bar->addWidget(statusPort_);
  bar->addWidget(statusTraffic_);
  bar->addWidget(statusNmeaLog_, 1);
  bar->addWidget(statusDataLog_, 1);
}

void MainWindow::ShowStatus(const StatusFields& fields) {
  statusPort_->setText(QString::fromStdString(fields.port));
  ShowTraffic(QString::fromStdString(fields.traffic));
  const QString paths = QString::fromStdString(fields.logPaths);
  for (auto [label, name] :
       {std::pair{statusNmeaLog_, &fields.nmeaLog}, std::pair{statusDataLog_, &fields.dataLog}}) {
    label->setText(QString::fromStdString(*name));
    label->setToolTip(paths);
    label->setVisible(!name->empty());
  }
}

// The counts change up to ten times a second while bytes flow. A label of
// fixed size repaints itself without making the status bar lay out all its
// fields again; once the bar has been laid out, the field keeps the height
// it was given there and only ever widens, when a longer count needs room.
void MainWindow::ShowTraffic(const QString& text) {
  QLabel* field = statusTraffic_;
  if (text == field->text()) return;
  field->setText(text);
  if (!field->isVisible()) return;
  if (field->minimumHeight() != field->maximumHeight()) field->setFixedHeight(field->height());
  const QMargins margins = field->contentsMargins();
  const int needed = field->fontMetrics().horizontalAdvance(text) + margins.left() +
                     margins.right() + 2 * field->margin();
  if (needed > field->maximumWidth() || field->minimumWidth() != field->maximumWidth()) {
    field->setFixedWidth(std::max(needed, field->sizeHint().width()));
  }
}

}  // namespace tw
