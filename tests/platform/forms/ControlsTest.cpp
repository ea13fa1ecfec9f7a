// Protects the control collection of a window (creation order, frames, no inner parts) and the
// control type names that the skin's recolouring goes by.
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ListView.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Timer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include <gtest/gtest.h>

using platform::controlTypeName;

namespace {

// A label class of its own (as a skin label is): not a plain "Label".
class OwnLabel final : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
};

// A text box that only overrides behaviour is still a text box.
class KeyedLineEdit final : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
};

}  // namespace

TEST(Controls, listedInCreationOrderWithFrameContentsAndWithoutInnerParts) {
  platform::Form form(QStringLiteral("Controls"));
  QWidget* client = form.client();
  auto* button = new QPushButton(client);
  auto* text = new QLineEdit(client);
  auto* frame = new QGroupBox(client);
  auto* inFrame = new QLabel(frame);
  auto* list = new platform::ListView(client);
  auto* timer = new platform::Timer(client);
  auto* bar = new platform::StatusBar(client);
  button->raise();  // stacking changes must not reorder the collection
  list->lower();

  const QList<QObject*> controls = platform::controlsOf(&form);
  EXPECT_EQ(controls, (QList<QObject*>{button, text, frame, inFrame, list, timer, bar}));
  QStringList names;
  for (const QObject* c : controls) names.append(controlTypeName(c));
  EXPECT_EQ(names.join(u' '), QStringLiteral("CommandButton TextBox Frame Label ListView Timer StatusBar"));

  delete text;
  EXPECT_EQ(platform::controlsOf(&form), (QList<QObject*>{button, frame, inFrame, list, timer, bar}));
}

TEST(Controls, typeNamesGoByTheObjectsOwnClassAndExplicitNamesWin) {
  QWidget window;
  auto* combo = new QComboBox(&window);
  auto* own = new OwnLabel(&window);
  auto* keyed = new KeyedLineEdit(&window);
  auto* other = new QTextEdit(&window);
  new QObject(&window);  // neither a widget nor a timer
  EXPECT_EQ(controlTypeName(combo), QStringLiteral("ComboBox"));
  EXPECT_EQ(controlTypeName(own), QStringLiteral("OwnLabel"));
  EXPECT_EQ(controlTypeName(keyed), QStringLiteral("TextBox"));
  EXPECT_EQ(controlTypeName(other), QStringLiteral("QTextEdit"));
  platform::setControlTypeName(own, QStringLiteral("PictureBox"));
  EXPECT_EQ(controlTypeName(own), QStringLiteral("PictureBox"));
  EXPECT_EQ(platform::controlsOf(&window), (QList<QObject*>{combo, own, keyed, other}));
}

#include "ControlsTest.moc"
