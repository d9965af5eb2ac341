#pragma once

#include <QDialog>

#include "emulator/emulator.h"
#include "emulator/emulator_dialogs.h"
#include "emulator/emulator_pane.h"

class QCloseEvent;
class QPlainTextEdit;
class QPushButton;

namespace tw {

class MenuBar;

// "Veluna Emulator": the emulator's modal window, with its own menu, the
// text pane and the Quit button. Only Quit ends it (result 1): the close box
// and Escape leave it open, as the host on the line is still being answered.
// The emulator is initialised by whoever opens the window, before it opens.
class EmulatorDialog : public QDialog {
  Q_OBJECT
 public:
  EmulatorDialog(Emulator& emulator, EmulatorPane& pane, QWidget* parent = nullptr);
  ~EmulatorDialog() override;

  MenuBar* menu() const { return menu_; }
  QPlainTextEdit* paneEdit() const { return edit_; }
  QPushButton* quitButton() const { return quit_; }

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnCommand(int id);
  void Follow(const PaneChange& change);
  void ShowWholePane();
  void ScrollToEnd();

  Emulator& emulator_;
  EmulatorPane& pane_;
  int paneListener_ = 0;
  MenuBar* menu_ = nullptr;
  QPlainTextEdit* edit_ = nullptr;
  QPushButton* quit_ = nullptr;
};

// The emulator room's window, opened over `parent`.
class QtEmulatorDialogs : public EmulatorDialogs {
 public:
  explicit QtEmulatorDialogs(QWidget* parent) : parent_(parent) {}
  void RunEmulatorWindow(Emulator& emulator, EmulatorPane& pane) override;

 private:
  QWidget* parent_;
};

}  // namespace tw
