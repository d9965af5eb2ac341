// The font dialog: where it starts, and its colours from the menu on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include "core/commands.h"
#include "support/terminal_view_fixture.h"
#include "terminal/TerminalFont.h"
#include "terminal/TerminalView.h"

namespace tw {
namespace {

using TerminalFontDialogTest = test::TerminalViewFixture;

// Runs `step` on the modal dialog once it is open.
void WhenModal(std::function<void(QWidget*)> step) {
  QTimer::singleShot(0, [step] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    step(dialog);
  });
}

QDialogButtonBox* Buttons(QWidget* dialog) {
  return dialog->findChild<QDialogButtonBox*>("buttons");
}

// Picks `color` in the colour picker that `button` of the colours dialog opens.
void Pick(QWidget* colors, const char* button, QColor color) {
  WhenModal([color](QWidget* picker) {
    static_cast<QColorDialog*>(picker)->setCurrentColor(color);
    static_cast<QColorDialog*>(picker)->accept();
  });
  colors->findChild<QPushButton*>(button)->click();
}

TEST_F(TerminalFontDialogTest, FontDialogOkStoresFontAndColourCancelKeepsThem) {
  WhenModal([](QWidget* dialog) {
    dialog->findChild<QFontDialog*>()->setCurrentFont(QFont("DejaVu Sans Mono"));
    Buttons(dialog)->button(QDialogButtonBox::Cancel)->click();
  });
  LogFont font;
  int32_t color = RGB(0, 0, 128);
  EXPECT_FALSE(view.chooseFont(font, color));
  EXPECT_EQ(font.faceName, "Lucida Console");
  EXPECT_EQ(color, RGB(0, 0, 128));

  WhenModal([](QWidget* dialog) {
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(20);
    font.setBold(true);
    dialog->findChild<QFontDialog*>()->setCurrentFont(font);
    WhenModal([](QWidget* colors) {  // "Color...": the text colour, then OK
      Pick(colors, "text", QColor(10, 20, 30));
      Buttons(colors)->button(QDialogButtonBox::Ok)->click();
    });
    dialog->findChild<QPushButton*>("color")->click();
    Buttons(dialog)->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(view.chooseFont(font, color));
  EXPECT_EQ(font.faceName, "DejaVu Sans Mono");
  EXPECT_EQ(font.weight, 700);
  EXPECT_NEAR(font.height, 20, 1);
  EXPECT_EQ(color, 0x1E140A);
}

TEST_F(TerminalFontDialogTest, FontDialogOkWithoutAChangeKeepsTheStyleInUse) {
  struct Row {
    int32_t weight, italic;
    const char* style;  // what the dialog shows
  };
  // The face lists "Oblique" first, where a loose match lands.
  const Row rows[] = {
      {0, 0, "Book"}, {700, 0, "Bold"}, {0, 1, "Oblique"}, {700, 1, "Bold Oblique"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.style);
    LogFont font;
    font.faceName = "DejaVu Sans Mono";
    font.weight = row.weight;
    font.italic = row.italic;
    view.applyFont(font, 0);
    QStringList shown;  // the chooser's font's style, then its lists' entries: face, style, size
    WhenModal([&shown](QWidget* dialog) {
      auto* fonts = dialog->findChild<QFontDialog*>();
      shown << fonts->currentFont().styleName();
      for (const QListView* list : fonts->findChildren<QListView*>())
        shown << list->currentIndex().data().toString();
      Buttons(dialog)->button(QDialogButtonBox::Ok)->click();
    });
    int32_t color = 0;
    ASSERT_TRUE(view.chooseFont(font, color));
    EXPECT_EQ(shown.mid(0, 3).join('|').toStdString(),
              std::string(row.style) + "|DejaVu Sans Mono|" + row.style);
    EXPECT_EQ(font.weight, row.weight);
    EXPECT_EQ(font.italic, row.italic);
  }
}

TEST_F(TerminalFontDialogTest, ColorSetsTextAndBackgroundKeptUnderNightView) {
  ui.chooseFontAndBack = [this](LogFont& font, int32_t& text, int32_t& back) {
    return view.chooseFont(font, text, back);
  };
  const QColor desktop = view.viewport()->palette().color(QPalette::Base);
  struct Row {
    QColor text, back;  // picked; an invalid background is left alone
    bool colorsOk, fontOk, night;
    int32_t wantText, wantBack;
  };
  const Row rows[] = {
      {QColor(1, 2, 3), QColor(4, 5, 6), false, true, false, RGB(0, 0, 128), BACKGROUND_SYSTEM},
      {QColor(1, 2, 3), QColor(4, 5, 6), true, false, false, RGB(0, 0, 128), BACKGROUND_SYSTEM},
      {QColor(10, 20, 30), QColor(), true, true, false, RGB(10, 20, 30), BACKGROUND_SYSTEM},
      {QColor(40, 50, 60), QColor(0, 0, 64), true, true, true, RGB(40, 50, 60), RGB(0, 0, 64)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    if (row.night) program.OnCommand(cmd::NIGHT_VIEW);
    WhenModal([&row](QWidget* dialog) {
      WhenModal([&row](QWidget* colors) {
        Pick(colors, "text", row.text);
        if (row.back.isValid()) Pick(colors, "background", row.back);
        Buttons(colors)
            ->button(row.colorsOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
            ->click();
      });
      dialog->findChild<QPushButton*>("color")->click();
      Buttons(dialog)
          ->button(row.fontOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
          ->click();
    });
    program.OnCommand(cmd::FONT);
    EXPECT_EQ(program.settings().textColor, row.wantText);
    EXPECT_EQ(program.settings().backColor, row.wantBack);
    const auto shownBack = [this] { return view.viewport()->palette().color(QPalette::Base); };
    if (row.night) {  // dark until Night View is turned off
      EXPECT_EQ(shownBack(), QColor(Qt::black));
      program.OnCommand(cmd::NIGHT_VIEW);
    }
    EXPECT_EQ(shownBack(), row.wantBack == BACKGROUND_SYSTEM ? desktop : TextQColor(row.wantBack));
  }
}

}  // namespace
}  // namespace tw
