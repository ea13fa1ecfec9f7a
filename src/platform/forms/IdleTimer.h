#pragma once
// How long the user has left the program alone: every key, click, wheel turn or pointer move in
// any of its windows starts the count again, and `idle` is said once the limit has passed.
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace platform {

class IdleTimer final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(IdleTimer)

 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Tests give a clock of their own and call check() after moving it: no real minutes pass.
  explicit IdleTimer(Clock now = &std::chrono::steady_clock::now, QObject* parent = nullptr);
  ~IdleTimer() override;

  // Counts from now; zero turns the timer off.
  void start(std::chrono::milliseconds limit);
  void stop();
  // Says `idle` (and stops) when the limit has passed since the last input; otherwise waits for the rest.
  void check();

 signals:
  void idle();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void waitFor(std::chrono::steady_clock::duration rest);

  Clock now_;
  QTimer timer_;
  std::chrono::milliseconds limit_{0};
  std::chrono::steady_clock::time_point lastInput_;
  bool running_ = false;
};

}  // namespace platform
