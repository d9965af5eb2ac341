#pragma once

#include <QWidget>

#include "protocol/ping_results.h"

class QTableWidget;

namespace tw {

class ViewSaver;

// The "Network Ping Results" window: one row per unit 0..15 with the pings
// the test cycle sent, the answers and the last range, updated with every
// change while it is open. Modeless, so the terminal stays usable beside it.
// Cells can be selected and copied (Ctrl+C: tab-separated lines), and the
// table saved as an image or as CSV.
class PingResultsWindow : public QWidget {
  Q_OBJECT
 public:
  PingResultsWindow(PingResults& results, QWidget* parent = nullptr);
  ~PingResultsWindow() override;

  QTableWidget* table() const { return table_; }
  // What a "Save Data..." writes: the rows as shown.
  PingResultsTable shownTable() const { return MakePingResultsTable(results_); }
  // "Save Image..." (the table as drawn) and "Save Data..." (CSV).
  ViewSaver* saver() const { return saver_; }
  // The selected cells as text: a line per row, cells apart by tabs.
  QString selectedText() const;

 private:
  void fill();

  PingResults& results_;
  QTableWidget* table_ = nullptr;
  ViewSaver* saver_ = nullptr;
};

}  // namespace tw
