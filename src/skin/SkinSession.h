#pragma once
// The skin's companion for the run: carries the skin from the windows it dresses to the
// application-wide defaults (tool tips, message boxes), and takes it back at the end.
#include "platform/base/Result.h"

#include <QPointer>
#include <QString>

#include <variant>

class QObject;
class Skin;

class SkinSession final {
 public:
  // Created on first use and kept for the run.
  static SkinSession& instance();

  // Keeps the skin object (the skin control's data); refuses what is not skin data.
  platform::Result<std::monostate> attach(QObject* skinData);
  // Puts the skin on tool tips and message boxes; fails when no skin is attached or the
  // attached skin is gone. A second start without a close changes nothing.
  platform::Result<std::monostate> start();
  // Takes the skin off the application-wide defaults and lets go of the skin object.
  void close();

  bool attached() const { return !skin_.isNull(); }
  bool started() const { return started_; }

 private:
  SkinSession() = default;

  QPointer<Skin> skin_;
  bool started_ = false;
  // The application style sheet from before start(), put back by close().
  QString previousStyleSheet_;
};
