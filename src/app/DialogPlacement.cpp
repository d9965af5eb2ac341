#include "app/DialogPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tw {

DialogPlacement::DialogPlacement(QWidget* main) : QObject(main), main_(main) {
  qApp->installEventFilter(this);
}

// On its first show, before it is mapped: a window the program has not
// placed itself is centred over the main window and kept on its screen.
bool DialogPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* w = static_cast<QWidget*>(watched);
  if (!w->isWindow() || w == main_ || w->property("tw_placed").toBool()) return false;
  if (!w->parentWidget() || w->parentWidget()->window() != main_) return false;
  w->setProperty("tw_placed", true);
  if (w->testAttribute(Qt::WA_Moved) && !w->inherits("QDialog")) return false;
  const QRect over = main_->frameGeometry();
  QRect place(QPoint(0, 0), w->frameGeometry().size().expandedTo(w->sizeHint()));
  place.moveCenter(over.center());
  if (const QScreen* screen = main_->screen()) {
    const QRect area = screen->availableGeometry();
    place.moveLeft(
        std::clamp(place.left(), area.left(), std::max(area.left(), area.right() - place.width())));
    place.moveTop(
        std::clamp(place.top(), area.top(), std::max(area.top(), area.bottom() - place.height())));
  }
  w->move(place.topLeft());
  return false;
}

}  // namespace tw
