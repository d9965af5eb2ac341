// The modem emulator: Tidewire standing in for the modem on the serial line.
// It answers a host program's command sentences the way the modem would,
// sends the modem's unsolicited heartbeat and data requests on the 100 ms
// step, and shows what it does in its own text pane. The window around it is
// EmulatorDialog; without a window the pane can go to standard output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/sentence_sink.h"
#include "emulator/emulator_pane.h"
#include "emulator/link_simulation.h"
#include "logging/log_controls.h"
#include "logging/logs.h"
#include "menu/menu_model.h"
#include "menu/menu_table.h"
#include "protocol/nmea.h"
#include "protocol/sentence_table.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"

namespace tw {

// Longest host line handled, in characters (CR included): the line buffer
// the modem's own sentences are read into. Longer ones are discarded whole.
constexpr size_t EMU_LINE_MAX = NMEA_LINE_MAX;
// Most data bytes of one "$CCTXD" written to the data log.
constexpr size_t EMU_RAW_MAX = 256;

// Ticks of the 100 ms step between heartbeats and between data requests, and
// where the 256-byte request falls between two 32-byte ones.
constexpr int64_t EMU_HEARTBEAT_TICKS = 100;
constexpr int64_t EMU_REQUEST_TICKS = 30;
constexpr int64_t EMU_REQUEST_256_OFFSET = 15;

// The emulator's state. The flags are set afresh each time the window opens
// (EMUInit); configValue and tickCount last for the whole run.
struct EMUState {
  uint8_t running = 0;         // the step sends test messages only while set
  uint8_t heartbeat = 1;       // "$CAREV" every 100 ticks
  uint8_t dataRequest32 = 0;   // 32-byte data request every 30 ticks
  uint8_t dataRequest256 = 0;  // 256-byte data request every 30 ticks, 15 after the other
  uint8_t showOutput = 1;      // view "Emulator Output": echo each sentence sent
  uint8_t showHost = 1;        // view "User Commands": echo each host line
  uint8_t showParser = 1;      // view "Parser Messages": the interpreter's remarks
  int32_t configValue = 0;     // the one configuration value every parameter shares
  int32_t fifoBytes = 0;       // data bytes taken since opening or the last flush
  int64_t tickCount = 0;       // steps since the program started
};

// What the emulator reads and writes outside itself.
struct EmulatorLinks {
  SentenceSink& sink;        // the program's one way to the serial line
  Logs& logs;                // the same NMEA and data logs as the main window's
  LogControls& logControls;  // their Start, Restart and Stop, as the main menu's
  const Clock& clock;        // the time in "[hh:mm:ss]" stamps and in sentences
  const SerialLink& modem;   // the port the host is on: its records carry its number
};

class Emulator {
 public:
  Emulator(EmulatorLinks links, EmulatorPane& pane);

  // The window opens: the flags, the FIFO count, the pane and the menu start
  // afresh; an open log is restarted in a new file.
  void EMUInit();
  // Handler of receive mode RX_EMULATOR: takes at most one host line out of
  // the ring and answers it.
  void EMUPoll(RxState& rx);
  // The 100 ms step, whether or not the window is open.
  void EMUTick();
  // The Quit button: no more test messages. The window ends itself; whoever
  // opened it hands the port back to the modem interpreter.
  void Quit();
  // The port went away under the open window: the test messages stop (they
  // could only be refused now) and the pane says so once.
  void PortLost(int portNumber);
  // A command of the window's menu (or its Quit button). True when it ends
  // the window. Greyed items do nothing.
  bool OnMenuCommand(int id);

  // --- The interpreter's pieces ---
  // "$CCTXD": accepts the data bytes, answers "$CATXD" and logs the bytes.
  void EMUParseData(std::string_view line);
  // Sends one sentence given without checksum and line end.
  void EMUSend(const std::string& sentence);
  // Sends "$CAERR" with the code and shows the code's text.
  void EMUError(int code);
  // One remark of the interpreter, under "Parser Messages".
  void EMUParserMessage(const std::string& text);
  // One line into the pane, with its "[hh:mm:ss] " stamp.
  void EMUPrint(const std::string& text);
  // Hex digits to bytes (at most EMU_RAW_MAX) into the data log.
  void EMUWriteRaw(std::string_view hex);

  // --- The "&Log" items of the window: the program's log controls ---
  void NmeaLogStart();
  void NmeaLogRestart();
  void NmeaLogStop();
  void RawLogStart();
  void RawLogRestart();
  void RawLogStop();

  // From now on the emulator also plays the far end of an acoustic link
  // (LinkSimulation), seeded with `seed`; without this call it answers only
  // as its own table says.
  void SimulateLink(uint32_t seed);
  LinkSimulation* simulation() { return simulation_.get(); }

  EMUState& state() { return state_; }
  const EMUState& state() const { return state_; }
  MenuModel& menu() { return menu_; }
  EmulatorPane& pane() { return pane_; }

 private:
  void ResetMenu();
  void LogCommand(LogKind kind, void (LogControls::*command)(LogKind));
  // The window's items of a log as LogControls allows them now.
  void ShowLogItems(LogKind kind);
  std::string TimeStamp() const;

  EmulatorLinks links_;
  EmulatorPane& pane_;
  EMUState state_;
  MenuModel menu_;
  std::unique_ptr<LinkSimulation> simulation_;
};

// ---------------------------------------------------------------------------
// The host commands the emulator knows are the rows of the sentence table
// with an emulator column (protocol/sentence_table.cpp); what each answer
// does is here, by the table's name for it. Null: accepted without one.

using EmulatorAction = void (*)(Emulator& emulator, const SentenceFields& body);
EmulatorAction EmulatorActionFor(EmulatorAnswer answer);

// ---------------------------------------------------------------------------
// The window's menu, one row per entry, with what each item does.

struct EmulatorMenuRow {
  MenuEntry entry;
  uint8_t EMUState::*toggle;   // the flag an item inverts; null for others
  void (Emulator::*action)();  // what another item does; null: nothing
};

const std::vector<EmulatorMenuRow>& EmulatorMenuRows();
// The menu as a menu table, for MenuModel and MenuBar.
const std::vector<MenuEntry>& EmulatorMenuTable();

}  // namespace tw
