#include "skin/SkinLabel.h"

#include "platform/forms/Controls.h"
#include "skin/modSkin.h"
#include "skin/Skin.h"

SkinLabel::SkinLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  platform::setControlTypeName(this, QStringLiteral("SkinLabel"));
  // Labels wrap their text at their width and start at the top left, as the windows lay them out.
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setAutoFillBackground(false);
  // A broken skin leaves the label in the window's text colour; dressing reports the fault.
  const Skin* current = modSkin::skin.data();
  const platform::Result<int> colour = current ? current->panelTextColor() : platform::Failure{};
  if (colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colourFromValue(*colour));
    setPalette(palette);
  }
}
