#include "protocol/PingResultsWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "core/ViewSaver.h"

namespace tw {

PingResultsWindow::PingResultsWindow(PingResults& results, QWidget* parent)
    : QWidget(parent, Qt::Window), results_(results) {
  setWindowTitle("Network Ping Results");
  const PingResultsTable shown = MakePingResultsTable(results_);
  table_ = new QTableWidget(static_cast<int>(shown.rows.size()),
                            static_cast<int>(shown.header.size()), this);
  QStringList header;
  for (const std::string& caption : shown.header) header << QString::fromStdString(caption);
  table_->setHorizontalHeaderLabels(header);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectItems);
  for (int r = 0; r < table_->rowCount(); ++r) {
    for (int c = 0; c < table_->columnCount(); ++c) {
      auto* item = new QTableWidgetItem;
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  }
  auto* copy = new QAction("Copy", this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copy, &QAction::triggered, this,
          [this] { QApplication::clipboard()->setText(selectedText()); });
  addAction(copy);
  table_->setContextMenuPolicy(Qt::ActionsContextMenu);
  table_->addAction(copy);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  saver_ = new ViewSaver(
      table_, [this] { return shownTable(); }, "ping-results", this);
  layout->addWidget(saver_->bar());
  fill();
  table_->resizeColumnsToContents();

  // All sixteen rows without a scroll bar where the screen allows it, and
  // never more than the screen of a small laptop (1366 x 768) can hold.
  const QMargins m = layout->contentsMargins();
  int width = m.left() + m.right() + 2 * table_->frameWidth();
  for (int c = 0; c < table_->columnCount(); ++c) width += table_->columnWidth(c);
  int height = m.top() + m.bottom() + 2 * table_->frameWidth() +
               table_->horizontalHeader()->sizeHint().height() + layout->spacing() +
               saver_->bar()->sizeHint().height();
  for (int r = 0; r < table_->rowCount(); ++r) height += table_->rowHeight(r);
  resize(std::min(width, 1300), std::min(height, 700));

  results_.SetListener([this] { fill(); });
}

PingResultsWindow::~PingResultsWindow() {
  // The results outlive the window.
  results_.SetListener(nullptr);
}

void PingResultsWindow::fill() {
  const PingResultsTable shown = MakePingResultsTable(results_);
  for (size_t r = 0; r < shown.rows.size(); ++r) {
    for (size_t c = 0; c < shown.rows[r].size(); ++c) {
      QTableWidgetItem* item = table_->item(static_cast<int>(r), static_cast<int>(c));
      const QString text = QString::fromStdString(shown.rows[r][c]);
      if (item->text() != text) item->setText(text);
    }
  }
}

QString PingResultsWindow::selectedText() const {
  std::map<int, std::map<int, QString>> cells;  // row, column
  for (const QTableWidgetItem* item : table_->selectedItems()) {
    cells[item->row()][item->column()] = item->text();
  }
  QStringList lines;
  for (const auto& [row, columns] : cells) {
    QStringList line;
    for (const auto& [column, text] : columns) line << text;
    lines << line.join('\t');
  }
  return lines.join('\n');
}

}  // namespace tw
