#pragma once
// A timer as windows use it: an interval and an enabled switch; ticks emit `ticked` on the
// user-interface thread. Interval 0 never ticks.
#include <QObject>
#include <QTimer>

namespace platform {

class Timer : public QObject {
  Q_OBJECT

 public:
  explicit Timer(QObject* parent = nullptr);

  void setInterval(int milliseconds);
  int interval() const { return interval_; }
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

 signals:
  void ticked();

 private:
  void restart();
  QTimer timer_;
  int interval_ = 0;
  bool enabled_ = false;
};

}  // namespace platform
