#pragma once
// A window's client area: remembers its children in the order they were created, which
// raise() and lower() would otherwise reshuffle in QObject::children().
#include <QList>
#include <QWidget>

namespace platform {

class ClientArea final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ClientArea)

 public:
  explicit ClientArea(QWidget* parent);

  // Direct children in creation (or adoption) order.
  const QList<QObject*>& childrenInCreationOrder() const { return order_; }

 protected:
  void childEvent(QChildEvent* event) override;

 private:
  // Raw pointers: a child leaves the list through its ChildRemoved event before it is gone.
  QList<QObject*> order_;
};

}  // namespace platform
