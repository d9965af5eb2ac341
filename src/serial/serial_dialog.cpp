#include "serial/serial_dialog.h"

#include "core/fixed_format.h"

namespace tw {

namespace {

// The item's value at `index`, or `keep` when the index is not an entry.
template <typename Field>
Field ValueAt(std::span<const ComboItem> items, int index, Field keep) {
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return keep;
  return static_cast<Field>(items[static_cast<size_t>(index)].value);
}

constexpr int PORT_COUNT = MAX_PORT - MIN_PORT + 1;
constexpr int DATA_BITS_COUNT = LAST_DATA_BITS - FIRST_DATA_BITS + 1;

int IndexIfIn(int index, int count) { return index >= 0 && index < count ? index : -1; }

}  // namespace

ComboList FillComboFromStrings(std::span<const ComboItem> items, int64_t current) {
  ComboList list;
  for (const ComboItem& item : items) {
    if (list.selected < 0 && item.value == current) {
      list.selected = static_cast<int>(list.captions.size());
    }
    list.captions.emplace_back(item.caption);
    list.values.push_back(item.value);
  }
  return list;
}

std::vector<std::string> PortCaptions() {
  std::vector<std::string> captions;
  for (int n = MIN_PORT; n <= MAX_PORT; ++n)
    captions.push_back(FixedFormat("%s%d", PORT_PREFIX, n));
  return captions;
}

std::vector<std::string> DataBitsCaptions() {
  std::vector<std::string> captions;
  for (int bits = FIRST_DATA_BITS; bits <= LAST_DATA_BITS; ++bits) {
    captions.push_back(FixedFormat("%d", bits));
  }
  return captions;
}

std::vector<PortListItem> PortListItems(const PortMap& ports) {
  std::vector<PortListItem> items;
  int n = MIN_PORT;
  for (std::string& caption : PortCaptions())
    items.push_back({std::move(caption), ports.device(n++)});
  return items;
}

std::vector<PortListItem> PortListItems(const PortMap& ports,
                                        const std::function<bool(const std::string&)>& exists) {
  std::vector<PortListItem> items = PortListItems(ports);
  for (PortListItem& item : items) item.present = exists(item.device);
  return items;
}

std::string PortListCaption(const PortListItem& item) {
  std::string text =
      item.device == item.caption ? item.caption : item.caption + "  (" + item.device + ")";
  return item.present ? text : text + "  [no device]";
}

std::vector<DeviceRow> DeviceRows(const PortMap& map, const std::vector<SerialDeviceInfo>& found) {
  std::vector<DeviceRow> rows(1);
  for (const SerialDeviceInfo& info : found) rows.push_back({info, ChoiceOf(info), true});
  for (const auto& [port, choice] : map.choices()) {
    if (FindChosenDevice(choice, found) != nullptr) continue;
    bool listed = false;
    for (const DeviceRow& row : rows) listed = listed || (!row.present && row.choice == choice);
    if (listed) continue;
    rows.push_back({{choice.path.empty() ? choice.byIdPath : choice.path, "not present", "",
                     choice.serialNumber, choice.byIdPath},
                    choice,
                    false});
  }
  return rows;
}

int DeviceRowFor(const std::vector<DeviceRow>& rows, const PortMap& map, int port) {
  auto it = map.choices().find(port);
  if (it == map.choices().end() || map.given(port)) return 0;
  // The devices present, each with the row it stands in.
  std::vector<SerialDeviceInfo> present;
  std::vector<int> rowOf;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].present && !rows[r].choice.empty()) {
      present.push_back(rows[r].info);
      rowOf.push_back(static_cast<int>(r));
    }
  }
  if (const SerialDeviceInfo* d = FindChosenDevice(it->second, present)) {
    return rowOf[static_cast<size_t>(d - present.data())];
  }
  for (size_t r = 1; r < rows.size(); ++r) {
    if (!rows[r].present && rows[r].choice == it->second) return static_cast<int>(r);
  }
  return 0;
}

void ChooseDeviceRow(const std::vector<DeviceRow>& rows, int row, PortMap& map, int port) {
  if (row < 0 || static_cast<size_t>(row) >= rows.size()) return;
  const DeviceChoice& choice = rows[static_cast<size_t>(row)].choice;
  if (!choice.empty()) map.forget(port);  // the operator's choice beats the command line
  map.choose(port, choice);
}

std::string UnchosenDevice(const PortMap& map, int port) {
  PortMap without = map;
  without.choose(port, {});
  return without.device(port);
}

PortChoice FillPortChoice(const SerialSettings& port) {
  return {IndexIfIn(port.portNumber - MIN_PORT, PORT_COUNT),
          FillComboFromStrings(BAUD_RATE_ITEMS, port.baudRate).selected};
}

void ReadPortChoice(const PortChoice& choice, SerialSettings& port) {
  if (IndexIfIn(choice.portIndex, PORT_COUNT) >= 0) port.portNumber = choice.portIndex + MIN_PORT;
  port.baudRate = ValueAt(BAUD_RATE_ITEMS, choice.baudIndex, port.baudRate);
}

SerialDialogValues FillSerialDialog(const SerialSettings& port, bool connected,
                                    const TerminalInfo& ti) {
  SerialDialogValues v;
  const PortChoice choice = FillPortChoice(port);
  v.portIndex = choice.portIndex;
  v.portListEnabled = !connected;
  v.baudIndex = choice.baudIndex;
  v.dataBitsIndex = IndexIfIn(port.byteSize - FIRST_DATA_BITS, DATA_BITS_COUNT);
  v.parityIndex = FillComboFromStrings(PARITY_ITEMS, port.parity).selected;
  v.stopBitsIndex = FillComboFromStrings(STOP_BITS_ITEMS, port.stopBits).selected;
  v.autoWrap = ti.autoWrap != 0;
  v.newLine = ti.newLine != 0;
  v.localEcho = ti.localEcho != 0;
  return v;
}

void ReadSerialDialog(const SerialDialogValues& v, SerialSettings& port, TerminalInfo& ti) {
  ReadPortChoice({v.portIndex, v.baudIndex}, port);
  if (IndexIfIn(v.dataBitsIndex, DATA_BITS_COUNT) >= 0) {
    port.byteSize = v.dataBitsIndex + FIRST_DATA_BITS;
  }
  port.parity = ValueAt(PARITY_ITEMS, v.parityIndex, port.parity);
  port.stopBits = ValueAt(STOP_BITS_ITEMS, v.stopBitsIndex, port.stopBits);
  ti.autoWrap = v.autoWrap ? 1 : 0;
  ti.newLine = v.newLine ? 1 : 0;
  ti.localEcho = v.localEcho ? 1 : 0;
}

}  // namespace tw
