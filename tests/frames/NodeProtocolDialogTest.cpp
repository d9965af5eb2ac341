// "Configure Data Protocol" on a fresh node table: what it shows, when
// "Apply" may be pressed, what it stores, and what closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <array>

#include "frames/NodeProtocolDialog.h"
#include "frames/data_frames.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

// A data-frame subsystem on a node table of its own, for the dialog to edit.
class DialogOnFreshNodes : public ::testing::Test {
 protected:
  DialogOnFreshNodes() : frames(ui, out, nodes, dir.path()) { frames.InitDataFrames(); }

  // The operator picks a list entry.
  static void Choose(QComboBox* list, int position) {
    list->setCurrentIndex(position);
    emit list->activated(position);
  }

  TempDir dir;
  FakeUi ui;
  RecordingTextOut out;
  std::array<NodeProtocol, NODE_COUNT> nodes{};
  DataFrames frames;
};

using ConfigureDataProtocol = DialogOnFreshNodes;

TEST_F(ConfigureDataProtocol, OpensOnNodeZeroWithItsDefaults) {
  NodeProtocolDialog dialog(frames);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Configure Data Protocol");
  ASSERT_EQ(dialog.nodeList()->count(), 16);
  EXPECT_EQ(dialog.nodeList()->itemText(0), "Node 0");
  EXPECT_EQ(dialog.nodeList()->itemText(15), "Node 15");
  const QStringList types = {"ACP Frames",    "CCL Frames", "Generic Frames",
                             "MIT-OE Frames", "Raw Frames", "SeaGrant Frames"};
  ASSERT_EQ(dialog.typeList()->count(), types.size());
  for (int k = 0; k < types.size(); ++k) EXPECT_EQ(dialog.typeList()->itemText(k), types[k]);

  EXPECT_EQ(dialog.nodeList()->currentIndex(), 0);
  EXPECT_EQ(dialog.typeList()->currentText(), "Generic Frames");
  EXPECT_TRUE(dialog.showDataBox()->isChecked());
  EXPECT_FALSE(dialog.logCustomBox()->isChecked());
  EXPECT_FALSE(dialog.logRawBox()->isChecked());
  EXPECT_FALSE(dialog.showRawDataBox()->isChecked());
  EXPECT_FALSE(dialog.applyButton()->isEnabled());
  EXPECT_TRUE(dialog.applyButton()->isDefault());
}

TEST_F(ConfigureDataProtocol, ApplyStoresTheEditsOfTheChosenNode) {
  NodeProtocolDialog dialog(frames);
  dialog.show();
  Choose(dialog.nodeList(), 4);
  dialog.showRawDataBox()->click();
  EXPECT_TRUE(dialog.applyButton()->isEnabled());
  EXPECT_EQ(frames.nodes[4].showRawData, 0);  // not before "Apply"
  dialog.showDataBox()->click();
  dialog.logRawBox()->click();
  dialog.logCustomBox()->click();
  Choose(dialog.typeList(), 3);
  dialog.applyButton()->click();

  const NodeProtocol& node = frames.nodes[4];
  EXPECT_EQ(node.protocol, KIND_MITOE);
  EXPECT_EQ(node.showData, 0);
  EXPECT_EQ(node.showRawData, 1);
  EXPECT_EQ(node.logRaw, 1);
  EXPECT_EQ(node.logCustom, 1);
  EXPECT_FALSE(dialog.applyButton()->isEnabled());
  for (int other : {0, 3, 5})
    EXPECT_EQ(frames.nodes[static_cast<size_t>(other)].protocol, KIND_GENERIC);

  // Each list position stores its own protocol.
  const int32_t expected[] = {KIND_ACP,   KIND_CCL, KIND_GENERIC,
                              KIND_MITOE, KIND_RAW, KIND_SEAGRANT};
  for (int position = 0; position < 6; ++position) {
    Choose(dialog.typeList(), position);
    EXPECT_TRUE(dialog.applyButton()->isEnabled());
    dialog.applyButton()->click();
    EXPECT_EQ(frames.nodes[4].protocol, expected[position]);
  }
}

TEST_F(ConfigureDataProtocol, ChoosingANodeDropsUnappliedEdits) {
  frames.nodes[6].protocol = KIND_RAW;
  frames.nodes[6].logRaw = 1;
  NodeProtocolDialog dialog(frames);
  dialog.show();
  Choose(dialog.nodeList(), 5);
  dialog.showDataBox()->click();
  Choose(dialog.typeList(), 0);
  Choose(dialog.nodeList(), 6);
  EXPECT_FALSE(dialog.applyButton()->isEnabled());
  EXPECT_EQ(dialog.typeList()->currentText(), "Raw Frames");
  EXPECT_TRUE(dialog.logRawBox()->isChecked());
  Choose(dialog.nodeList(), 5);
  EXPECT_TRUE(dialog.showDataBox()->isChecked());
  EXPECT_EQ(dialog.typeList()->currentText(), "Generic Frames");
  EXPECT_EQ(frames.nodes[5].protocol, KIND_GENERIC);
  EXPECT_EQ(frames.nodes[5].showData, 1);

  // Choosing the same node again also starts over.
  dialog.logCustomBox()->click();
  Choose(dialog.nodeList(), 5);
  EXPECT_FALSE(dialog.logCustomBox()->isChecked());
  EXPECT_FALSE(dialog.applyButton()->isEnabled());
}

// The node table may give a node a protocol the list does not offer.
TEST_F(ConfigureDataProtocol, ProtocolOffTheListIsKeptUntilOneIsChosen) {
  frames.nodes[2].protocol = KIND_TEST;
  NodeProtocolDialog dialog(frames);
  dialog.show();
  Choose(dialog.nodeList(), 2);
  EXPECT_EQ(dialog.typeList()->currentIndex(), -1);
  dialog.logRawBox()->click();
  dialog.applyButton()->click();
  EXPECT_EQ(frames.nodes[2].logRaw, 1);
  EXPECT_EQ(frames.nodes[2].protocol, KIND_TEST);
  Choose(dialog.typeList(), 1);
  dialog.applyButton()->click();
  EXPECT_EQ(frames.nodes[2].protocol, KIND_CCL);
}

TEST_F(ConfigureDataProtocol, ReopensOnTheNodeChosenLast) {
  frames.nodes[7].protocol = KIND_ACP;
  {
    NodeProtocolDialog first(frames);
    first.show();
    Choose(first.nodeList(), 7);
    first.closeButton()->click();
  }
  NodeProtocolDialog again(frames);
  again.show();
  EXPECT_EQ(again.nodeList()->currentIndex(), 7);
  EXPECT_EQ(again.typeList()->currentText(), "ACP Frames");
}

TEST_F(ConfigureDataProtocol, OnlyCloseClosesIt) {
  NodeProtocolDialog dialog(frames);
  dialog.show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.close());
  EXPECT_TRUE(dialog.isVisible());
  // Enter with nothing to apply does nothing either.
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &enter);
  EXPECT_TRUE(dialog.isVisible());

  dialog.closeButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tw::test
