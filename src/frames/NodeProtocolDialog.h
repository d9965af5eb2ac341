#pragma once

#include <QDialog>

#include "frames/data_frames.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QPushButton;

namespace tw {

// Control numbers of "Configure Data Protocol".
namespace node_protocol_ctl {
constexpr int NODE_LIST = 1053;
constexpr int TYPE_LIST = 1052;
constexpr int SHOW_DATA = 1055;
constexpr int LOG_CUSTOM = 1048;
constexpr int LOG_RAW = 1049;
constexpr int SHOW_RAW_DATA = 1050;
constexpr int APPLY = 1054;
constexpr int CLOSE = 1051;
}  // namespace node_protocol_ctl

// "Configure Data Protocol": how frames from and to each node are decoded
// and built, and whether they are shown. Changes wait for "Apply"; choosing
// another node drops them. Opens on the node chosen last time. Only "Close"
// closes it.
class NodeProtocolDialog : public QDialog {
  Q_OBJECT
 public:
  NodeProtocolDialog(DataFrames& frames, QWidget* parent = nullptr);

  QComboBox* nodeList() const { return nodeList_; }
  QComboBox* typeList() const { return typeList_; }
  QCheckBox* showDataBox() const { return showData_; }
  QCheckBox* logCustomBox() const { return logCustom_; }
  QCheckBox* logRawBox() const { return logRaw_; }
  QCheckBox* showRawDataBox() const { return showRawData_; }
  QPushButton* applyButton() const { return apply_; }
  QPushButton* closeButton() const { return close_; }

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QCheckBox* addCheckBox(const char* text, int control);
  void loadNode(int node);
  void onNodeCommand();
  void onEdited();
  void onApply();

  DataFrames& frames_;
  QComboBox* nodeList_ = nullptr;
  QComboBox* typeList_ = nullptr;
  QCheckBox* showData_ = nullptr;
  QCheckBox* logCustom_ = nullptr;
  QCheckBox* logRaw_ = nullptr;
  QCheckBox* showRawData_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* close_ = nullptr;
};

// The frames room's dialog, opened over `parent`.
class QtFrameDialogs : public FrameDialogs {
 public:
  explicit QtFrameDialogs(QWidget* parent) : parent_(parent) {}
  void RunNodeProtocols(DataFrames& frames) override;

 private:
  QWidget* parent_;
};

}  // namespace tw
