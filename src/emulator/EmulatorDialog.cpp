#include "emulator/EmulatorDialog.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "emulator/emulator_ids.h"
#include "menu/MenuBar.h"

namespace tw {
namespace {

// 361 x 384 dialog units of an 8-point dialog font, in pixels.
constexpr int WIDTH = 542;
constexpr int HEIGHT = 624;

// The pane ends its lines with CR LF; the edit with LF. A CR of its own is
// a line break too, so every character of the pane but the CR of a CR LF is
// one character of the edit.
QString ToEditText(std::string_view text) {
  QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

// Whether every CR of a piece of pane text starts a CR LF within it.
bool PairsWhole(std::string_view text) {
  for (size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1)) {
    if (at + 1 >= text.size() || text[at + 1] != '\n') return false;
  }
  return true;
}

// Whether the edit can follow a change piece by piece: then no CR LF lies
// across the edges of the pieces, and the edit text of the whole pane is
// the edit texts of its pieces one after the other. Otherwise the edit shows
// the whole pane afresh.
bool PieceByPiece(const PaneChange& change, const std::string& now) {
  if (!PairsWhole(change.dropped) || !PairsWhole(change.appended)) return false;
  const size_t before = now.size() - change.appended.size();
  return before == 0 || now[before - 1] != '\r';
}

}  // namespace

EmulatorDialog::EmulatorDialog(Emulator& emulator, EmulatorPane& pane, QWidget* parent)
    : QDialog(parent), emulator_(emulator), pane_(pane) {
  setWindowTitle("Veluna Emulator");
  setObjectName(QString::number(emu::WINDOW));
  resize(WIDTH, HEIGHT);

  menu_ = new MenuBar(
      emulator_.menu(), [this](int id) { OnCommand(id); }, EmulatorMenuTable(), this);

  edit_ = new QPlainTextEdit;
  edit_->setObjectName(QString::number(emu::PANE));
  edit_->setReadOnly(true);
  // The pane's lines are sentences and columns of numbers: one width a character.
  // The desktop's fixed font, else any typewriter face the font matcher has.
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (!QFontInfo(fixed).fixedPitch()) {
    fixed.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New"),
                       QStringLiteral("monospace")});
    fixed.setStyleHint(QFont::TypeWriter);
  }
  edit_->setFont(fixed);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit_->setFocusPolicy(Qt::ClickFocus);

  quit_ = new QPushButton("Quit");
  quit_->setObjectName(QString::number(emu::QUIT_BUTTON));
  quit_->setDefault(true);
  connect(quit_, &QPushButton::clicked, this, [this] { OnCommand(emu::QUIT); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(quit_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_);
  layout->addWidget(edit_, 1);
  layout->addLayout(buttons);

  ShowWholePane();
  paneListener_ = pane_.AddListener([this](const PaneChange& change) { Follow(change); });
  quit_->setFocus();
}

EmulatorDialog::~EmulatorDialog() { pane_.RemoveListener(paneListener_); }

// Escape and the close box end a dialog through here; this window ignores
// both and ends only by Quit.
void EmulatorDialog::reject() {}

void EmulatorDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void EmulatorDialog::OnCommand(int id) {
  if (emulator_.OnMenuCommand(id)) done(1);
}

// New text always goes to the end, whatever the operator has clicked or
// selected in the pane, and the pane scrolls to show it.
void EmulatorDialog::Follow(const PaneChange& change) {
  if (change.cleared) {
    edit_->clear();
    return;
  }
  if (!PieceByPiece(change, pane_.text())) {
    ShowWholePane();
    return;
  }
  QTextCursor cursor(edit_->document());
  if (!change.dropped.empty()) {
    cursor.setPosition(static_cast<int>(ToEditText(change.dropped).size()),
                       QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ToEditText(change.appended));
  ScrollToEnd();
}

void EmulatorDialog::ShowWholePane() {
  edit_->setPlainText(ToEditText(pane_.text()));
  ScrollToEnd();
}

void EmulatorDialog::ScrollToEnd() {
  edit_->moveCursor(QTextCursor::End);
  QScrollBar* bar = edit_->verticalScrollBar();
  bar->setValue(bar->maximum());
}

void QtEmulatorDialogs::RunEmulatorWindow(Emulator& emulator, EmulatorPane& pane) {
  EmulatorDialog dialog(emulator, pane, parent_);
  dialog.exec();
}

}  // namespace tw
