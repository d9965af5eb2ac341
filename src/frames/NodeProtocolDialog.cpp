#include "frames/NodeProtocolDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "frames/data_frames.h"
#include "frames/frame_kinds.h"

namespace tw {
namespace {

QString ControlName(int control) { return QString::number(control); }

}  // namespace

NodeProtocolDialog::NodeProtocolDialog(DataFrames& frames, QWidget* parent)
    : QDialog(parent), frames_(frames) {
  using namespace node_protocol_ctl;
  setWindowTitle("Configure Data Protocol");

  nodeList_ = new QComboBox;
  nodeList_->setObjectName(ControlName(NODE_LIST));
  for (int node = 0; node < NODE_COUNT; ++node) nodeList_->addItem(QString("Node %1").arg(node));
  typeList_ = new QComboBox;
  typeList_->setObjectName(ControlName(TYPE_LIST));
  for (const std::string& caption : ProtocolListCaptions())
    typeList_->addItem(QString::fromStdString(caption));

  showData_ = addCheckBox("Show Data", SHOW_DATA);
  logCustom_ = addCheckBox("Log Custom", LOG_CUSTOM);
  logRaw_ = addCheckBox("Log Raw", LOG_RAW);
  showRawData_ = addCheckBox("Show Raw Data", SHOW_RAW_DATA);

  apply_ = new QPushButton("Apply");
  apply_->setObjectName(ControlName(APPLY));
  apply_->setDefault(true);
  close_ = new QPushButton("Close");
  close_->setObjectName(ControlName(CLOSE));
  close_->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Acoustic Node"), 0, 0);
  grid->addWidget(nodeList_, 0, 1);
  grid->addWidget(new QLabel("Data Type"), 0, 2);
  grid->addWidget(typeList_, 0, 3);
  grid->addWidget(apply_, 0, 4);
  grid->addWidget(showData_, 1, 0);
  grid->addWidget(logCustom_, 1, 1);
  grid->addWidget(logRaw_, 1, 2);
  grid->addWidget(showRawData_, 1, 3);
  grid->addWidget(close_, 1, 4);

  // The node chosen last time, kept for the whole run.
  const int node =
      frames_.dialogNode >= 0 && frames_.dialogNode < NODE_COUNT ? frames_.dialogNode : 0;
  nodeList_->setCurrentIndex(node);
  loadNode(node);

  // Any notice from the node list reloads the node, as a re-selection of the
  // same node also drops unapplied changes.
  connect(nodeList_, &QComboBox::currentIndexChanged, this, &NodeProtocolDialog::onNodeCommand);
  connect(nodeList_, &QComboBox::activated, this, &NodeProtocolDialog::onNodeCommand);
  // Only the operator's own changes count as edits, not loading a node.
  connect(typeList_, &QComboBox::activated, this, &NodeProtocolDialog::onEdited);
  for (QCheckBox* box : {showData_, logCustom_, logRaw_, showRawData_}) {
    connect(box, &QCheckBox::clicked, this, &NodeProtocolDialog::onEdited);
  }
  connect(apply_, &QPushButton::clicked, this, &NodeProtocolDialog::onApply);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

QCheckBox* NodeProtocolDialog::addCheckBox(const char* text, int control) {
  auto* box = new QCheckBox(text);
  box->setObjectName(ControlName(control));
  return box;
}

void NodeProtocolDialog::loadNode(int node) {
  const NodeProtocol& entry = frames_.nodes[static_cast<size_t>(node)];
  showData_->setChecked(entry.showData > 0);
  logCustom_->setChecked(entry.logCustom > 0);
  logRaw_->setChecked(entry.logRaw > 0);
  showRawData_->setChecked(entry.showRawData > 0);
  typeList_->setCurrentIndex(ListPositionFromProtocol(entry.protocol));
  apply_->setEnabled(false);
}

void NodeProtocolDialog::onNodeCommand() {
  const int node = nodeList_->currentIndex();
  if (node < 0 || node >= NODE_COUNT) return;
  frames_.dialogNode = node;
  loadNode(node);
}

void NodeProtocolDialog::onEdited() {
  apply_->setEnabled(true);
  apply_->setDefault(true);
}

void NodeProtocolDialog::onApply() {
  const int node = nodeList_->currentIndex();
  if (node < 0 || node >= NODE_COUNT) return;
  NodeProtocol& entry = frames_.nodes[static_cast<size_t>(node)];
  entry.showData = showData_->isChecked() ? 1 : 0;
  entry.logCustom = logCustom_->isChecked() ? 1 : 0;
  entry.logRaw = logRaw_->isChecked() ? 1 : 0;
  entry.showRawData = showRawData_->isChecked() ? 1 : 0;
  // A node whose protocol the list does not hold keeps it until one is chosen.
  if (typeList_->currentIndex() >= 0)
    entry.protocol = ProtocolFromListPosition(typeList_->currentIndex());
  apply_->setEnabled(false);
}

// Escape and the caption's close button leave the window open: only
// "Close" ends it.
void NodeProtocolDialog::reject() {}

void NodeProtocolDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void QtFrameDialogs::RunNodeProtocols(DataFrames& frames) {
  NodeProtocolDialog dialog(frames, parent_);
  dialog.exec();
}

}  // namespace tw
