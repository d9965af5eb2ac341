// Recording fakes of the platform pieces, for driving the logic headless.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/sentence_sink.h"
#include "core/serial_port.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "terminal/terminal_surface.h"

namespace tw::test {

struct Box {
  std::string text, caption;
  BoxIcon icon;
};

class FakeUi : public Ui {
 public:
  std::string title;
  std::vector<Box> boxes;
  bool quitAnswer = true;
  int quitQuestions = 0;
  int beeps = 0;
  bool fontAnswer = false;
  std::function<void(LogFont&, int32_t&)> onChooseFont;
  std::vector<int> posted;
  int closesPosted = 0;
  std::map<int, int32_t> timers;  // number -> period of the last SetTimer
  std::vector<std::pair<int, int32_t>> timerCalls;
  int quitCode = -1;
  bool waitCursor = false;

  void SetWindowTitle(const std::string& t) override { title = t; }
  void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override {
    boxes.push_back({text, caption, icon});
  }
  int unownedBoxes = 0;
  void UnownedErrorBox(const std::string& text, const std::string& caption) override {
    ++unownedBoxes;
    boxes.push_back({text, caption, BoxIcon::Error});
  }
  bool ConfirmQuit() override {
    ++quitQuestions;
    return quitAnswer;
  }
  void Beep() override { ++beeps; }
  void SetWaitCursor(bool on) override { waitCursor = on; }
  bool ChooseFont(LogFont& font, int32_t& color) override {
    if (fontAnswer && onChooseFont) onChooseFont(font, color);
    return fontAnswer;
  }
  // When set, answers for the font dialog with the background (a real dialog).
  std::function<bool(LogFont&, int32_t&, int32_t&)> chooseFontAndBack;
  bool ChooseFont(LogFont& font, int32_t& color, int32_t& back) override {
    return chooseFontAndBack ? chooseFontAndBack(font, color, back) : ChooseFont(font, color);
  }
  std::string fileToOpen;                                        // what the open dialog answers
  std::vector<std::pair<std::string, std::string>> fileDialogs;  // caption, folder
  std::vector<FileRequest> openRequests;
  std::string ChooseFileToOpen(const FileRequest& request) override {
    fileDialogs.emplace_back(request.caption, request.folder);
    openRequests.push_back(request);
    return fileToOpen;
  }
  std::string fileToSave;  // what the save dialog answers
  std::vector<FileRequest> saveRequests;
  std::string ChooseFileToSave(const FileRequest& request) override {
    saveRequests.push_back(request);
    return fileToSave;
  }
  void PostCommand(int id) override { posted.push_back(id); }
  void PostClose() override { ++closesPosted; }
  void SetTimer(int number, int32_t periodMs) override {
    timers[number] = periodMs;
    timerCalls.emplace_back(number, periodMs);
  }
  void Quit(int code) override { quitCode = code; }
};

// An in-memory port: bytes queued by the test are read, writes are kept.
struct FakePortState {
  std::string written;
  std::deque<uint8_t> incoming;
  bool configureOk = true;
  bool writeOk = true;
  bool gone = false;
  uint32_t baudRate = 0;
  int configures = 0;
  bool open = false;
};

class FakePort : public SerialPort {
 public:
  explicit FakePort(std::shared_ptr<FakePortState> s) : s_(std::move(s)) { s_->open = true; }
  ~FakePort() override { s_->open = false; }
  bool configure(uint32_t baud) override {
    ++s_->configures;
    if (s_->configureOk) s_->baudRate = baud;
    return s_->configureOk;
  }
  int readAvailable(uint8_t* dst, int max) override {
    if (s_->gone) return -1;
    int n = 0;
    while (n < max && !s_->incoming.empty()) {
      dst[n++] = s_->incoming.front();
      s_->incoming.pop_front();
    }
    return n;
  }
  bool writeAll(const char* data, size_t length, int) override {
    if (!s_->writeOk || s_->gone) return false;
    s_->written.append(data, length);
    return true;
  }

 private:
  std::shared_ptr<FakePortState> s_;
};

class FakePortOpener : public SerialPortOpener {
 public:
  std::map<int, std::shared_ptr<FakePortState>> ports;  // only these exist
  std::vector<int> opened;
  std::shared_ptr<FakePortState> add(int number) {
    auto s = std::make_shared<FakePortState>();
    ports[number] = s;
    return s;
  }
  std::unique_ptr<SerialPort> open(int number) override {
    opened.push_back(number);
    auto it = ports.find(number);
    if (it == ports.end() || it->second->open) return nullptr;  // absent or in use
    return std::make_unique<FakePort>(it->second);
  }
};

// Records what the screen model asked of the window.
class RecordingSurface : public TerminalSurface {
 public:
  int beeps = 0;
  int fullInvalidations = 0;
  std::vector<std::array<int, 4>> rects;
  int updates = 0;
  std::map<bool, int> ranges, positions;
  std::vector<std::pair<int, int>> scrolls;
  bool caretExists = false, caretShown = false;
  int caretX = -1, caretY = -1;

  void invalidateRect(int x, int y, int w, int h) override { rects.push_back({x, y, w, h}); }
  void invalidateAll(bool) override { ++fullInvalidations; }
  void updateNow() override { ++updates; }
  void beep() override { ++beeps; }
  void setScrollRange(bool v, int m) override { ranges[v] = m; }
  void setScrollPosition(bool v, int p) override { positions[v] = p; }
  void scrollContents(int dx, int dy) override { scrolls.emplace_back(dx, dy); }
  void createCaret(int, int) override { caretExists = true; }
  void showCaret() override { caretShown = true; }
  void destroyCaret() override { caretExists = caretShown = false; }
  void setCaretPosition(int x, int y) override {
    caretX = x;
    caretY = y;
  }
  int fontsApplied = 0;
  CellSize cell;  // what applyFont answers
  CellSize applyFont(const LogFont&, int32_t) override {
    ++fontsApplied;
    return cell;
  }
};

// Keeps every printed line.
class RecordingTextOut : public TextOut {
 public:
  std::vector<std::string> lines;
  void PrintLine(const std::string& text) override { lines.push_back(text); }
};

// Keeps every sentence; `connected` decides whether it is refused.
class RecordingSink : public SentenceSink {
 public:
  explicit RecordingSink(TextOut* out = nullptr) : out_(out) {}
  bool connected = true;
  std::vector<std::string> sent;
  void SendSentence(const std::string& sentence) override {
    if (!connected) {
      if (out_) out_->PrintLine(NOT_CONNECTED);
      return;
    }
    sent.push_back(sentence);
  }
  bool IsConnected() const override { return connected; }

 private:
  TextOut* out_;
};

}  // namespace tw::test
