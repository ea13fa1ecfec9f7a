#pragma once
// The about box: the product's identity from the version record, a logo and a notice.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

#include <QList>

class QLabel;
class SkinLabel;

class frmAbout final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(frmAbout)

 public:
  frmAbout();
  static QString name() { return platform::windows::kFrmAbout; }

  // Controls in the order the window holds them. SkinLabel1's element 0 is the hidden
  // design-time template that convertLabels copies.
  QList<SkinLabel*> SkinLabel1;
  SkinLabel* Label1 = nullptr;
  SkinLabel* lblVersion = nullptr;
  QLabel* Picture1 = nullptr;
  SkinLabel* lblCompany = nullptr;
  SkinLabel* lblWebsite = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label2 = nullptr;

  void Form_Load() override;
};
