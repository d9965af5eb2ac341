#include "app/ReplayBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace tw {

ReplayBar::ReplayBar(std::function<void()> pause, std::function<void()> stop, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("statusReplay"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  position_ = new QLabel(this);
  position_->setObjectName(QStringLiteral("replayPosition"));
  pause_ = new QToolButton(this);
  pause_->setObjectName(QStringLiteral("replayPause"));
  pause_->setText(QStringLiteral("Pause"));
  stop_ = new QToolButton(this);
  stop_->setObjectName(QStringLiteral("replayStop"));
  stop_->setText(QStringLiteral("Stop"));
  // As tall as the bar's text: showing the part does not make the bar, and
  // so the window, jump.
  for (QToolButton* b : {pause_, stop_}) {
    b->setAutoRaise(true);
    b->setMaximumHeight(position_->sizeHint().height());
  }
  row->addWidget(position_);
  row->addWidget(pause_);
  row->addWidget(stop_);
  connect(pause_, &QToolButton::clicked, this, [pause = std::move(pause)] { pause(); });
  connect(stop_, &QToolButton::clicked, this, [stop = std::move(stop)] { stop(); });
  hide();
}

void ReplayBar::showReplay(const QString& position, bool paused) {
  position_->setText(position);
  pause_->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
  setVisible(!position.isEmpty());
}

}  // namespace tw
