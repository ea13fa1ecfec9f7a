#pragma once
// The status bar control: panels with widths (twips) and texts. A panel's text stays until it
// is set again; menu hover tips never replace it.
#include <QWidget>

class QLabel;
class QHBoxLayout;

namespace platform {

class StatusBar : public QWidget {
  Q_OBJECT

 public:
  // Starts with one panel, as the control does.
  explicit StatusBar(QWidget* parent = nullptr);

  // Panels are 1-based.
  int addPanel();
  int panelCount() const;
  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;
  void setPanelWidthTwips(int panel, int twips);
  int panelWidthTwips(int panel) const;

 private:
  QHBoxLayout* layout_;
  QList<QLabel*> panels_;
};

}  // namespace platform
