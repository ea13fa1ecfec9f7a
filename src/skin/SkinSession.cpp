#include "skin/SkinSession.h"

#include "skin/Skin.h"

#include <QApplication>

SkinSession& SkinSession::instance() {
  static SkinSession session;
  return session;
}

void SkinSession::attach(QObject* skinData) {
  auto* skin = qobject_cast<Skin*>(skinData);
  if (!skin) throw SkinError("The companion was handed no skin data");
  skin_ = skin;
}

void SkinSession::start() {
  if (started_) return;
  if (skin_.isNull()) throw SkinError("The companion has no skin to start with");
  const QString sheet = skin_->applicationStyleSheet();
  previousStyleSheet_ = qApp->styleSheet();
  qApp->setStyleSheet(previousStyleSheet_.isEmpty() ? sheet : previousStyleSheet_ + u'\n' + sheet);
  started_ = true;
}

void SkinSession::close() {
  if (started_) {
    qApp->setStyleSheet(previousStyleSheet_);
    previousStyleSheet_.clear();
    started_ = false;
  }
  skin_.clear();
}

void SkinSession::resetForTests() { instance().close(); }
