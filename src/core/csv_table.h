// Tables saved as CSV ("Save Data..." of the plot windows): a header row,
// then one row per record, fields separated by commas, rows ended by CR LF.
// A field holding a comma, a quote or a line end is quoted, its quotes
// doubled, so any spreadsheet reads the table back as it was.
#pragma once

#include <string>
#include <vector>

namespace tw {

struct CsvTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

std::string CsvText(const CsvTable& table);

}  // namespace tw
