#pragma once

#include <QDialog>

#include "core/sentence_sink.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tw {

// "Change Modem Settings": pick a parameter, type a value, Apply sends it.
// The window stays open so several settings can go out in a row.
class ModemSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  ModemSettingsDialog(SentenceSink& sink, QWidget* parent = nullptr);

  QComboBox* settingList() const { return list_; }
  QLineEdit* valueEdit() const { return value_; }
  QPushButton* applyButton() const { return apply_; }
  QPushButton* closeButton() const { return close_; }

 private:
  void onApply();

  SentenceSink& sink_;
  QComboBox* list_ = nullptr;
  QLineEdit* value_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace tw
