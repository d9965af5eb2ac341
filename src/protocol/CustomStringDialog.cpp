#include "protocol/CustomStringDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "protocol/custom_string.h"

namespace tw {
namespace {

constexpr int EDIT_LINES = 3;

// The stored string breaks lines with CR LF; the edit with LF.
QString ToEditText(const std::string& text) {
  QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

}  // namespace

CustomStringDialog::CustomStringDialog(std::string& stored, TextOut& out, SentenceSink& sink,
                                       QWidget* parent)
    : QDialog(parent), stored_(stored), out_(out), sink_(sink) {
  setWindowTitle("Enter Command String");

  edit_ = new QPlainTextEdit;
  edit_->setObjectName(QString::number(custom_ctl::EDIT));
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  edit_->setTabChangesFocus(true);
  edit_->setFixedHeight(edit_->fontMetrics().lineSpacing() * EDIT_LINES + 2 * edit_->frameWidth() +
                        8);
  edit_->installEventFilter(this);
  if (!stored_.empty()) {
    edit_->setPlainText(ToEditText(CustomStringFirstLine(stored_)));
  }

  ok_ = new QPushButton("OK");
  ok_->setObjectName(QString::number(custom_ctl::OK));
  ok_->setDefault(true);
  cancel_ = new QPushButton("Cancel");
  cancel_->setObjectName(QString::number(custom_ctl::CANCEL));
  cancel_->setAutoDefault(false);
  test_ = new QPushButton("Test");
  test_->setObjectName(QString::number(custom_ctl::TEST));
  test_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(test_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Command:"));
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  resize(420, sizeHint().height());

  connect(ok_, &QPushButton::clicked, this, &CustomStringDialog::onOk);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(test_, &QPushButton::clicked, this, &CustomStringDialog::onTest);
}

// As in a dialog's multi-line edit elsewhere on the desktop, Enter presses
// the default button and Ctrl+Enter starts a new line.
bool CustomStringDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !(key->modifiers() & Qt::ControlModifier)) {
      ok_->click();
      return true;
    }
    if (enter) {
      edit_->insertPlainText("\n");
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::string CustomStringDialog::typedText() const {
  QString text = edit_->toPlainText();
  text.replace('\n', "\r\n");
  // The modem's sentences are 8-bit text; one character is one byte.
  return text.toLatin1().toStdString();
}

void CustomStringDialog::onOk() {
  stored_ = CustomStringFromEdit(typedText());
  accept();
}

void CustomStringDialog::onTest() { CustomStringTest(stored_, out_, sink_, typedText()); }

}  // namespace tw
