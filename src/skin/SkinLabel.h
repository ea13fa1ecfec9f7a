#pragma once
// A label drawn in the skin's style (a real label to assistive technology): transparent over
// the skin's background, in the skin's panel text colour, wrapping its text at its width.
#include <QLabel>

class SkinLabel : public QLabel {
  Q_OBJECT

 public:
  explicit SkinLabel(const QString& text = {}, QWidget* parent = nullptr);
};
