// The emulator window's text pane as plain text: every line the emulator
// shows is appended here, the oldest text falling out once the pane is full.
// The Qt pane (and, without a window, standard output) follow it through
// listeners.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tw {

// Most characters the pane holds.
constexpr size_t EMU_PANE_MAX = 20480;

// One change of the pane: `dropped` (its first characters) removed from its
// start, then `appended` added at its end. `cleared` when the whole pane was
// emptied.
struct PaneChange {
  bool cleared = false;
  std::string_view dropped;
  std::string_view appended;
};

class EmulatorPane {
 public:
  using Listener = std::function<void(const PaneChange& change)>;

  // Appends `text` at the end. When the pane would then hold more than
  // EMU_PANE_MAX characters, as many characters as the text has are first
  // dropped from its start; a text longer than the whole pane keeps only its
  // last EMU_PANE_MAX characters.
  void EMUAppendText(std::string_view text);
  // Empties the pane.
  void Clear();
  const std::string& text() const { return text_; }

  // Listeners are told of every change; the handle removes one again.
  int AddListener(Listener listener);
  void RemoveListener(int handle);

 private:
  void Tell(const PaneChange& change);

  std::string text_;
  std::map<int, Listener> listeners_;
  int nextHandle_ = 1;
};

}  // namespace tw
