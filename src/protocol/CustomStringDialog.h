#pragma once

#include <QDialog>
#include <string>

#include "core/sentence_sink.h"
#include "core/text_out.h"

class QPlainTextEdit;
class QPushButton;

namespace tw {

// "Enter Command String": edits the custom command string. OK stores it,
// Cancel leaves it as it was, Test stores and sends it and stays open.
class CustomStringDialog : public QDialog {
  Q_OBJECT
 public:
  // `stored` is the custom string the dialog shows and changes.
  CustomStringDialog(std::string& stored, TextOut& out, SentenceSink& sink,
                     QWidget* parent = nullptr);

  QPlainTextEdit* commandEdit() const { return edit_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* testButton() const { return test_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string typedText() const;
  void onOk();
  void onTest();

  std::string& stored_;
  TextOut& out_;
  SentenceSink& sink_;
  QPlainTextEdit* edit_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* test_ = nullptr;
};

}  // namespace tw
