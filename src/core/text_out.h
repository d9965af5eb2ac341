// Where a subsystem's lines for the operator go: the main terminal, a
// dialog's text pane, standard output. Each line gets its time stamp there.
#pragma once

#include <string>

namespace tw {

class TextOut {
 public:
  virtual ~TextOut() = default;
  virtual void PrintLine(const std::string& text) = 0;
};

}  // namespace tw
