// Menu commands that each send one fixed sentence to the modem.
#pragma once

#include <string>
#include <vector>

#include "core/clock.h"

namespace tw {

struct ModemCommand {
  int id;
  // Line printed before sending, or nullptr.
  const char* status;
  // True when the command checks the connection itself, so that a refused
  // command prints its error once and not the status line.
  bool ownConnectionTest;
  // The sentence, given the local time and the modem's own unit address.
  std::string (*sentence)(const LocalTime& now, int modemUnit);
  // The fixed text when `sentence` is null.
  std::string fixedText;
};

const std::vector<ModemCommand>& ModemCommandTable();
const ModemCommand* FindModemCommand(int id);

}  // namespace tw
