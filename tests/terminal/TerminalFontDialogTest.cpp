// The font dialog on its own: where it starts, and its colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include "support/terminal_view_fixture.h"
#include "terminal/TerminalView.h"

namespace tw {
namespace {

using TerminalFontDialogTest = test::TerminalViewFixture;

// Runs `step` on the modal dialog once it is open.
void OnModal(std::function<void(QWidget*)> step) {
  QTimer::singleShot(0, [step] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    step(dialog);
  });
}

void Press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  dialog->findChild<QDialogButtonBox*>("buttons")->button(which)->click();
}

// The entries the chooser's lists have selected: face, style and size.
QStringList Selected(QFontDialog* fonts) {
  QStringList selected;
  for (const QListView* list : fonts->findChildren<QListView*>())
    selected << list->currentIndex().data().toString();
  return selected;
}

TEST_F(TerminalFontDialogTest, StartsOnTheStyleInUseAndOkKeepsIt) {
  ASSERT_TRUE(QFontDatabase::hasFamily("DejaVu Sans Mono"));
  struct Row {
    const char* face;
    int32_t weight, italic;
    const char* style;  // what the dialog shows
  };
  // The first style each face lists is a slanted one, where a loose match lands.
  const Row rows[] = {
      {"DejaVu Sans Mono", 0, 0, "Book"},      {"DejaVu Sans Mono", 700, 0, "Bold"},
      {"DejaVu Sans Mono", 400, 1, "Oblique"}, {"DejaVu Sans Mono", 700, 1, "Bold Oblique"},
      {"Liberation Mono", 400, 0, "Regular"},  {"Liberation Mono", 0, 1, "Italic"},
      {"Liberation Mono", 700, 0, "Bold"},
  };
  for (const Row& row : rows) {
    if (!QFontDatabase::hasFamily(row.face)) continue;  // only the first face is required
    SCOPED_TRACE(std::string(row.face) + " " + row.style);
    LogFont font;
    font.faceName = row.face;
    font.weight = row.weight;
    font.italic = row.italic;
    view.applyFont(font, 0);
    QFont shown;
    QStringList selected;
    OnModal([&](QWidget* dialog) {
      auto* fonts = dialog->findChild<QFontDialog*>();
      shown = fonts->currentFont();
      selected = Selected(fonts);
      Press(dialog, QDialogButtonBox::Ok);
    });
    int32_t color = 0;
    ASSERT_TRUE(view.chooseFont(font, color));
    EXPECT_EQ(shown.styleName().toStdString(), row.style);
    EXPECT_TRUE(selected.contains(row.face) && selected.contains(row.style))
        << selected.join('|').toStdString();
    EXPECT_EQ(shown.weight(), row.weight >= 600 ? QFont::Bold : QFont::Normal);
    EXPECT_EQ(shown.italic(), row.italic != 0);
    EXPECT_EQ(font.weight, row.weight);
    EXPECT_EQ(font.italic, row.italic);
  }
}

}  // namespace
}  // namespace tw
