// The modem message interpreter: the handler of receive mode RX_MODEM. Each
// call takes one sentence from the receive ring, logs it, shows it as a
// readable line and carries out what goes with it (statistics, the modem's
// address and band, data frames, noise reports, answers to data requests).
#pragma once

#include <string>

namespace tw {

class Program;

// Largest test-data answer, in bytes. Only a guard against an absurd length
// in a damaged request; every length a modem asks for (a missing length field
// reads as 4095) is answered in full.
constexpr int MAX_TEST_DATA_BYTES = 65535;

// Takes at most one sentence out of program.rx and reacts to it.
void InterpretModemLine(Program& program);

// "$CCTXD,source,destination,ack," followed by `length` bytes of the test
// pattern (byte i is i modulo 256) as lower-case hex, then CR LF. A negative
// length gives no payload digits; more than MAX_TEST_DATA_BYTES is cut there.
std::string BuildTestDataSentence(int source, int destination, int ack, int length);

// Makes InterpretModemLine the handler of receive mode RX_MODEM.
void InstallModemInterpreter(Program& program);

}  // namespace tw
