#include "core/csv_table.h"

namespace tw {

namespace {

void AppendField(std::string& out, const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char ch : field) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

void AppendRow(std::string& out, const std::vector<std::string>& row) {
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += ',';
    AppendField(out, row[i]);
  }
  out += "\r\n";
}

}  // namespace

std::string CsvText(const CsvTable& table) {
  std::string out;
  AppendRow(out, table.header);
  for (const auto& row : table.rows) AppendRow(out, row);
  return out;
}

}  // namespace tw
