#pragma once
// The help viewer: Help.rtf from the program's folder, and whether it opens at every start.
#include "platform/forms/Forms.h"
#include "platform/forms/WindowNames.h"

class QCheckBox;

namespace platform {
class RichTextBox;
}

class Form8 final : public platform::Form {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(Form8)

 public:
  Form8();
  static QString name() { return platform::windows::kForm8; }

  platform::RichTextBox* rtf1 = nullptr;
  QCheckBox* Check1 = nullptr;

  void Form_Load() override;
  void Check1_Click();

  // The help file: Help.rtf in the program's folder.
  static QString helpFilePath();
};
