// The emulator's window as its commands open it.
#pragma once

#include "emulator/emulator.h"
#include "emulator/emulator_pane.h"

namespace tw {

// The emulator room's window, opened by the Qt layer (QtEmulatorDialogs).
class EmulatorDialogs {
 public:
  virtual ~EmulatorDialogs() = default;
  // The emulator's window on `emulator` and its pane, modal: returns when
  // the window has gone.
  virtual void RunEmulatorWindow(Emulator& emulator, EmulatorPane& pane) = 0;
};

}  // namespace tw
