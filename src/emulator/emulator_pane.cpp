#include "emulator/emulator_pane.h"

#include <algorithm>
#include <vector>

namespace tw {

void EmulatorPane::EMUAppendText(std::string_view whole) {
  if (whole.size() > EMU_PANE_MAX) whole.remove_prefix(whole.size() - EMU_PANE_MAX);
  // A copy, so a text taken from the pane itself survives the trimming.
  const std::string text(whole);
  // The whole pane is looked at, up to its last character: reading back less
  // than it holds would lose the end of the newest line whenever it is full.
  PaneChange change;
  change.appended = text;
  std::string dropped;
  if (text.size() + text_.size() > EMU_PANE_MAX) {
    dropped = text_.substr(0, std::min(text.size(), text_.size()));
    text_.erase(0, dropped.size());
  }
  change.dropped = dropped;
  text_.append(text);
  Tell(change);
}

void EmulatorPane::Clear() {
  text_.clear();
  PaneChange change;
  change.cleared = true;
  Tell(change);
}

int EmulatorPane::AddListener(Listener listener) {
  const int handle = nextHandle_++;
  listeners_[handle] = std::move(listener);
  return handle;
}

void EmulatorPane::RemoveListener(int handle) { listeners_.erase(handle); }

void EmulatorPane::Tell(const PaneChange& change) {
  // A listener may remove itself (a closing window), so the calls run over
  // a copy of the handles.
  std::vector<int> handles;
  for (const auto& entry : listeners_) handles.push_back(entry.first);
  for (int handle : handles) {
    auto it = listeners_.find(handle);
    if (it != listeners_.end() && it->second) it->second(change);
  }
}

}  // namespace tw
