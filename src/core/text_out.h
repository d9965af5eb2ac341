// Where a subsystem's lines for the operator go: the main terminal, a
// dialog's text pane, standard output. Each line gets its time stamp there.
#pragma once

#include <string>

namespace tw {

class TextOut {
 public:
  virtual ~TextOut() = default;
  virtual void PrintLine(const std::string& text) = 0;

  // A line the program composes itself (a reason, a hint, a path). The
  // 64-column terminal breaks it into rows that fit; outputs without a
  // width (standard output, a recording) keep it whole. Texts whose words
  // are fixed go through PrintLine.
  virtual void PrintWrapped(const std::string& text) { PrintLine(text); }
};

}  // namespace tw
