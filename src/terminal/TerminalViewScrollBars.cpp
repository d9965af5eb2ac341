// TerminalView's scroll bars: the model's ranges and offsets shown on them,
// and the operator's actions on them handed to the model as scroll codes.
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"

namespace tw {

namespace {

// The scroll code of each action on a bar; other actions do not scroll.
constexpr std::pair<int, int> SCROLL_CODES[] = {
    {QAbstractSlider::SliderSingleStepSub, tw::SB_LINEUP},
    {QAbstractSlider::SliderSingleStepAdd, tw::SB_LINEDOWN},
    {QAbstractSlider::SliderPageStepSub, tw::SB_PAGEUP},
    {QAbstractSlider::SliderPageStepAdd, tw::SB_PAGEDOWN},
    {QAbstractSlider::SliderMove, tw::SB_THUMBPOSITION},
    {QAbstractSlider::SliderToMinimum, tw::SB_TOP},
    {QAbstractSlider::SliderToMaximum, tw::SB_BOTTOM},
};

const int* ScrollCode(int action) {
  for (const auto& [sliderAction, code] : SCROLL_CODES) {
    if (sliderAction == action) return &code;
  }
  return nullptr;
}

}  // namespace

QScrollBar* TerminalView::scrollBar(bool vertical) const {
  return vertical ? verticalScrollBar() : horizontalScrollBar();
}

// The range is set with signals on: the scroll area shows or hides a bar
// when its range changes. Nothing feeds back into the model from there,
// since only user actions on a bar are forwarded.
// The vertical bar spans the history above the screen as well.
void TerminalView::setScrollRange(bool vertical, int maximum) {
  QScrollBar* bar = scrollBar(vertical);
  if (const tw::TerminalInfo* ti = record(); ti && vertical) maximum = tw::VerticalBarRange(*ti);
  const QSize page = viewport()->size();
  bar->setRange(0, maximum);
  bar->setPageStep(std::max(1, vertical ? page.height() : page.width()));
  if (const tw::TerminalInfo* ti = record()) {
    bar->setSingleStep(std::max(1, vertical ? ti->charHeight : ti->charWidth));
  }
}

void TerminalView::setScrollPosition(bool vertical, int position) {
  QScrollBar* bar = scrollBar(vertical);
  if (const tw::TerminalInfo* ti = record(); ti && vertical) position = tw::VerticalBarValue(*ti);
  const QSignalBlocker blocker(bar);
  bar->setValue(position);
}

void TerminalView::connectScrollBar(bool vertical) {
  QScrollBar* bar = scrollBar(vertical);
  connect(bar, &QAbstractSlider::actionTriggered, this,
          [this, vertical](int action) { onScrollAction(vertical, action); });
  connect(bar, &QAbstractSlider::sliderReleased, this,
          [this, vertical] { onScrollAction(vertical, QAbstractSlider::SliderMove); });
}

void TerminalView::onScrollAction(bool vertical, int action) {
  QScrollBar* bar = scrollBar(vertical);
  // Dragging the thumb is tracking, which does not scroll; the screen moves
  // when the thumb is released (sliderReleased above).
  if (action == QAbstractSlider::SliderMove && bar->isSliderDown()) return;
  const int* code = ScrollCode(action);
  if (code == nullptr) return;
  if (terminal_) terminal_->OnScroll(vertical, *code, bar->sliderPosition());
  // The bar has already moved its thumb by its own rules; the model's
  // offset is the one that counts.
  const tw::TerminalInfo* ti = record();
  bar->setSliderPosition(ti ? (vertical ? tw::VerticalBarValue(*ti) : ti->scrollX) : bar->value());
}

// A row went into the history: the bar grows and keeps the view's place; a
// selection loses what left the history.
void TerminalView::historyChanged() {
  const tw::TerminalInfo* ti = record();
  if (!ti) return;
  selection_.Clip(*ti);
  syncVerticalBar();
}

void TerminalView::syncVerticalBar() {
  const tw::TerminalInfo* ti = record();
  if (!ti) return;
  setScrollRange(true, 0);
  setScrollPosition(true, 0);
}

}  // namespace tw
