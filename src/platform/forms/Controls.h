#pragma once
// The controls of a window as the design enumerates them: in collection (creation) order, each
// with its control type name ("CommandButton", "TextBox", "ListView", "Label", "PictureBox", ...).
#include <QFont>
#include <QList>
#include <QString>

class QObject;
class QWidget;

namespace platform {

// Verdana, the font of buttons and text boxes unless a window gives them another (8.25 points).
QFont verdana(qreal points = 8.25, bool bold = false);

// The controls of a window's client area (and of frames inside it), in creation order.
QList<QObject*> controlsOf(QWidget* window);

// A control's type name: set explicitly with setControlTypeName, else mapped from its Qt class
// (QPushButton "CommandButton", QLineEdit "TextBox", QComboBox "ComboBox", QListWidget "ListBox",
// ListView "ListView", QLabel "Label", QCheckBox "CheckBox", QGroupBox "Frame",
// StatusBar "StatusBar", Timer "Timer"); unknown classes give their Qt class name. The class is
// the object's own (most-derived Q_OBJECT) class: a QLabel subclass with Q_OBJECT (a skin label)
// is not a "Label", a subclass without Q_OBJECT keeps its base's name.
QString controlTypeName(const QObject* control);
void setControlTypeName(QObject* control, const QString& typeName);

}  // namespace platform
