#include "skin/SkinSession.h"

#include "skin/Skin.h"

#include <QApplication>

SkinSession& SkinSession::instance() {
  static SkinSession session;
  return session;
}

platform::Result<std::monostate> SkinSession::attach(QObject* skinData) {
  auto* skin = qobject_cast<Skin*>(skinData);
  if (!skin) return platform::Failure{"The companion was handed no skin data"};
  skin_ = skin;
  return std::monostate{};
}

platform::Result<std::monostate> SkinSession::start() {
  if (started_) return std::monostate{};
  if (skin_.isNull()) return platform::Failure{"The companion has no skin to start with"};
  const platform::Result<QString> sheet = skin_->applicationStyleSheet();
  if (!sheet) return platform::Failure{sheet.why()};
  previousStyleSheet_ = qApp->styleSheet();
  qApp->setStyleSheet(previousStyleSheet_.isEmpty() ? *sheet : previousStyleSheet_ + u'\n' + *sheet);
  started_ = true;
  return std::monostate{};
}

void SkinSession::close() {
  if (started_) {
    qApp->setStyleSheet(previousStyleSheet_);
    previousStyleSheet_.clear();
    started_ = false;
  }
  skin_.clear();
}
