// The download's two windows: the dongle notice (108), closed by OK, and the
// modeless progress window (115) with its texts and bar as it initialises.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "firmware/ExecutableImageWindow.h"
#include "firmware/LoadExecutableDialog.h"

namespace tw::test {
namespace {

TEST(FirmwareWindowsTest, NoticeShowsItsTextAndOkClosesIt) {
  QWidget owner;
  LoadExecutableDialog dialog(&owner);
  EXPECT_EQ(dialog.windowTitle(), "Load New Executable...");
  EXPECT_EQ(dialog.text(),
            "Connect the inline programming dongle to the modem, and cycle modem power.");
  auto* icon = dialog.findChild<QLabel*>("icon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  QTimer::singleShot(0, &dialog, [&dialog] {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->button(QDialogButtonBox::Ok), nullptr);
    box->button(QDialogButtonBox::Ok)->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST(FirmwareWindowsTest, ProgressWindowOpensModelessWithItsStartTexts) {
  QWidget owner;
  QPointer<ExecutableImageWindow> window;
  OpenExecutableImageWindow(window, &owner, InitialFirmwareProgress());
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowTitle(), "Load Executable Image");
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->parent(), &owner);
  EXPECT_EQ(window->status(), "Waiting for Veluna BIOS...");
  EXPECT_EQ(window->block(), "  ");
  EXPECT_EQ(window->bar()->minimum(), 0);
  EXPECT_EQ(window->bar()->maximum(), 20);
  EXPECT_EQ(window->bar()->value(), 1);
  EXPECT_NE(window->findChild<QProgressBar*>("1009"), nullptr);
  EXPECT_NE(window->findChild<QLabel*>("1010"), nullptr);
  EXPECT_NE(window->findChild<QLabel*>("1011"), nullptr);
  EXPECT_TRUE(window->findChildren<QPushButton*>().isEmpty());

  // A second download reuses the window and puts its start texts back.
  ExecutableImageWindow* first = window;
  window->ShowProgress(FirmwareProgress{"Erasing", "[ Block 1/1 ]", 0, 20, 7});
  window->hide();
  OpenExecutableImageWindow(window, &owner, InitialFirmwareProgress());
  EXPECT_EQ(window.data(), first);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->status(), "Waiting for Veluna BIOS...");
  EXPECT_EQ(window->bar()->value(), 1);
}

}  // namespace
}  // namespace tw::test
