#include "ClientArea.h"

#include <QChildEvent>

namespace platform {

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("client")); }

// ChildAdded arrives while the child is still being constructed: only its address is kept here.
void ClientArea::childEvent(QChildEvent* event) {
  if (event->added()) {
    if (!order_.contains(event->child())) order_.append(event->child());
  } else if (event->removed()) {
    order_.removeOne(event->child());
  }
  QWidget::childEvent(event);
}

}  // namespace platform
