// What the program's logic asks of the desktop, split by job so that each
// subsystem takes only the piece it uses. The Qt main window implements all
// of them (as Ui); tests use a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings.h"

namespace tw {

enum class BoxIcon { Warning, Error, Question, Information };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal message box with an OK button.
  virtual void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) = 0;
  // The same with an error icon and no owner window ("Open Error").
  virtual void UnownedErrorBox(const std::string& text, const std::string& caption) = 0;
  // "Really Quit?" with OK and Cancel; true for OK.
  virtual bool ConfirmQuit() = 0;
  virtual void Beep() = 0;
};

// The desktop's own dialogs. A room's dialogs are not here: each room
// declares its own (SerialDialogs, ProtocolDialogs, ...), which its Qt layer
// implements.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The font dialog on the given font and colour; true when the operator
  // chose OK (both have then been updated).
  virtual bool ChooseFont(LogFont& font, int32_t& color) = 0;
  // The same with the background colour too; where a desktop offers no
  // background choice, the background stays as it is.
  virtual bool ChooseFont(LogFont& font, int32_t& color, int32_t& /*back*/) {
    return ChooseFont(font, color);
  }
};

// One file type offered by a file chooser: "Tidewire Config Files", "*.twc".
struct FileFilter {
  std::string name;
  std::string pattern;  // "*.twc"; "*" for every file
};

// What a file dialog shows and asks for.
struct FileRequest {
  std::string caption;
  std::string folder;               // where it starts
  std::vector<FileFilter> filters;  // the first is selected
  // Added to a typed name without one ("twc"); empty: nothing is added.
  std::string defaultSuffix;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The platform's open-file dialog: only an existing file can be chosen.
  // The chosen path, or empty when the operator cancelled.
  virtual std::string ChooseFileToOpen(const FileRequest& request) = 0;
  // The save-file dialog: the folder must exist, the file need not. The
  // chosen path, or empty when the operator cancelled.
  virtual std::string ChooseFileToSave(const FileRequest& request) = 0;
};

class Scheduler {
 public:
  virtual ~Scheduler() = default;
  // Queues a menu command for the window; it runs after the current work.
  virtual void PostCommand(int id) = 0;
  // Queues a close request ("Really Quit?").
  virtual void PostClose() = 0;
  // Starts or restarts timer `number` so it next fires `periodMs` from now.
  virtual void SetTimer(int number, int32_t periodMs) = 0;
  // Ends the message loop with an exit code.
  virtual void Quit(int code) = 0;
};

// The main window's frame: its title and the busy cursor.
class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  virtual void SetWindowTitle(const std::string& title) = 0;
  virtual void SetWaitCursor(bool on) = 0;
};

// Everything at once, for the program's wiring.
class Ui : public MessageBoxes,
           public Dialogs,
           public FileChooser,
           public Scheduler,
           public WindowFrame {};

}  // namespace tw
