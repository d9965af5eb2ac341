#pragma once

#include <QDialog>
#include <cstdint>

#include "core/sentence_sink.h"
#include "protocol/modem_settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tw {

// "Change Modem Settings": pick a parameter, type a value, Apply sends it
// when the parameter can take it and says why not when it cannot. Under the
// list, the value the modem last reported for the parameter. The window
// stays open so several settings can go out in a row.
class ModemSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // Without `reported` the dialog shows no reported value.
  explicit ModemSettingsDialog(SentenceSink& sink, const ReportedConfig* reported = nullptr,
                               QWidget* parent = nullptr);

  QComboBox* settingList() const { return list_; }
  QLineEdit* valueEdit() const { return value_; }
  QPushButton* applyButton() const { return apply_; }
  QPushButton* closeButton() const { return close_; }
  QLabel* reportedLabel() const { return reportedLine_; }
  QLabel* refusalLabel() const { return refusal_; }

 private:
  void onApply();
  void showReported();

  SentenceSink& sink_;
  const ReportedConfig* reported_;
  uint64_t shownChanges_ = 0;
  QComboBox* list_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLabel* reportedLine_ = nullptr;
  QLabel* refusal_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* close_ = nullptr;
  QTimer* follow_ = nullptr;
};

}  // namespace tw
