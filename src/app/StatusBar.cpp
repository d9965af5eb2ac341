#include "app/StatusBar.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace tw {

namespace {

// A status field that gives up characters from the middle of its text when
// the window is too narrow for it, rather than widening the window: a log
// file's name keeps its kind in front and its time and extension at the end,
// a long by-id device path its start and its port suffix.
class ElidingLabel : public QLabel {
 public:
  using QLabel::QLabel;
  QSize minimumSizeHint() const override {
    return {fontMetrics().averageCharWidth() * 8, QLabel::minimumSizeHint().height()};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

}  // namespace

StatusBar::StatusBar(QWidget* window) : QStatusBar(window) {
  setObjectName(QStringLiteral("statusBar"));
  // As the main window makes its own bar: the width is the window's.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  setSizeGripEnabled(true);
  auto label = [](QLabel* l, const char* name) {
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  port_ = label(new ElidingLabel(this), "statusPort");
  traffic_ = label(new QLabel(this), "statusTraffic");
  nmeaLog_ = label(new ElidingLabel(this), "statusNmeaLog");
  dataLog_ = label(new ElidingLabel(this), "statusDataLog");
  addWidget(port_);
  addWidget(traffic_);
  addWidget(nmeaLog_, 1);
  addWidget(dataLog_, 1);
  // Sharing over UDP, shown only while in use.
  udp_ = label(new ElidingLabel(this), "statusUdp");
  addWidget(udp_, 1);
  udp_->hide();
  activity_ = label(new ElidingLabel(this), "statusActivity");
  addWidget(activity_, 1);
  activity_->hide();
}

void StatusBar::showStatus(const StatusFields& fields) {
  port_->setText(QString::fromStdString(fields.port));
  showTraffic(QString::fromStdString(fields.traffic));
  const QString paths = QString::fromStdString(fields.logPaths);
  for (auto [label, name] :
       {std::pair{nmeaLog_, &fields.nmeaLog}, std::pair{dataLog_, &fields.dataLog}}) {
    label->setText(QString::fromStdString(*name));
    label->setToolTip(paths);
    label->setVisible(!name->empty());
  }
  udp_->setText(QString::fromStdString(fields.udp));
  udp_->setVisible(!fields.udp.empty());
  activity_->setText(QString::fromStdString(fields.activity));
  activity_->setToolTip(activity_->text());
  activity_->setVisible(!fields.activity.empty());
}

// The counts change up to ten times a second while bytes flow. A label of
// fixed size repaints itself without making the status bar lay out all its
// fields again; once the bar has been laid out, the field keeps the height
// it was given there and only ever widens, when a longer count needs room.
void StatusBar::showTraffic(const QString& text) {
  QLabel* field = traffic_;
  if (text == field->text()) return;
  field->setText(text);
  if (!field->isVisible()) return;
  if (field->minimumHeight() != field->maximumHeight()) field->setFixedHeight(field->height());
  const QMargins margins = field->contentsMargins();
  const int needed = field->fontMetrics().horizontalAdvance(text) + margins.left() +
                     margins.right() + 2 * field->margin();
  if (needed > field->maximumWidth() || field->minimumWidth() != field->maximumWidth()) {
    field->setFixedWidth(std::max(needed, field->sizeHint().width()));
  }
}

}  // namespace tw
