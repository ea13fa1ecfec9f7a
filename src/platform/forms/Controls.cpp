#include "Controls.h"

#include "ClientArea.h"
#include "Forms.h"
#include "Timer.h"

#include <QHash>
#include <QWidget>

namespace platform {
namespace {

constexpr char kTypeProperty[] = "keyloftControlType";

// By the object's own class (its most-derived Q_OBJECT class): a subclass that declares
// Q_OBJECT, such as a skin label, is a control type of its own unless it says otherwise.
const QHash<QString, QString>& typeNames() {
  static const QHash<QString, QString> map{
      {QStringLiteral("QPushButton"), QStringLiteral("CommandButton")},
      {QStringLiteral("QLineEdit"), QStringLiteral("TextBox")},
      {QStringLiteral("QComboBox"), QStringLiteral("ComboBox")},
      {QStringLiteral("QListWidget"), QStringLiteral("ListBox")},
      {QStringLiteral("platform::ListView"), QStringLiteral("ListView")},
      {QStringLiteral("QLabel"), QStringLiteral("Label")},
      {QStringLiteral("QCheckBox"), QStringLiteral("CheckBox")},
      {QStringLiteral("QGroupBox"), QStringLiteral("Frame")},
      {QStringLiteral("platform::StatusBar"), QStringLiteral("StatusBar")},
      {QStringLiteral("platform::Timer"), QStringLiteral("Timer")},
  };
  return map;
}

bool isControl(const QObject* object) {
  return object->isWidgetType() || qobject_cast<const Timer*>(object) != nullptr;
}

void collect(const QList<QObject*>& children, QList<QObject*>& out) {
  for (QObject* child : children) {
    if (!isControl(child)) continue;
    out.append(child);
    if (controlTypeName(child) == QLatin1String("Frame")) collect(child->children(), out);
  }
}

}  // namespace

QList<QObject*> controlsOf(QWidget* window) {
  QList<QObject*> out;
  if (!window) return out;
  if (auto* form = qobject_cast<Form*>(window)) {
    if (auto* client = qobject_cast<ClientArea*>(form->client())) {
      collect(client->childrenInCreationOrder(), out);
      return out;
    }
  }
  collect(window->children(), out);
  return out;
}

QString controlTypeName(const QObject* control) {
  if (!control) return {};
  const QVariant explicitName = control->property(kTypeProperty);
  if (explicitName.isValid()) return explicitName.toString();
  const QString className = QString::fromLatin1(control->metaObject()->className());
  return typeNames().value(className, className);
}

void setControlTypeName(QObject* control, const QString& typeName) {
  if (control) control->setProperty(kTypeProperty, typeName);
}

QFont verdana(qreal points, bool bold) {
  QFont font(QStringLiteral("Verdana"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace platform
