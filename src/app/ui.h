// What the program's logic asks of the main window and the desktop: message
// boxes, the title, modal dialogs, posted commands and timers. The Qt main
// window implements it; tests use a recording fake.
#pragma once

#include <cstdint>
#include <string>

#include "terminal/terminal_info.h"

namespace tw {

enum class BoxIcon { Warning, Error, Question, Information };

class Ui {
 public:
  virtual ~Ui() = default;
  virtual void SetWindowTitle(const std::string& title) = 0;
  // A modal message box with an OK button.
  virtual void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) = 0;
  // The same with an error icon and no owner window ("Open Error").
  virtual void UnownedErrorBox(const std::string& text, const std::string& caption) = 0;
  // "Really Quit?" with OK and Cancel; true for OK.
  virtual bool ConfirmQuit() = 0;
  virtual void Beep() = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // Runs a modal dialog by its resource number; returns when it has closed.
  virtual void RunDialog(int dialogId) = 0;
  // The font dialog on the record's font and colour; true when the operator
  // chose OK (the record has then been updated).
  virtual bool ChooseFont(TerminalInfo& ti) = 0;
  // Recreates the terminal font from the record and measures its cells.
  virtual void ApplyFont(TerminalInfo& ti) = 0;
  // The platform's open-file dialog starting in `folder`; the chosen path,
  // or empty when the operator cancelled.
  virtual std::string ChooseFileToOpen(const std::string& caption, const std::string& folder) = 0;
  // Queues a menu command for the window; it runs after the current work.
  virtual void PostCommand(int id) = 0;
  // Queues a close request ("Really Quit?").
  virtual void PostClose() = 0;
  // Starts or restarts timer `number` so it next fires `periodMs` from now.
  virtual void SetTimer(int number, int32_t periodMs) = 0;
  // Ends the message loop with an exit code.
  virtual void Quit(int code) = 0;
};

}  // namespace tw
