#pragma once
// The system clipboard: emptied, or given plain text.
#include <QString>

namespace platform::clipboard {

void clear();
// Puts the text on the clipboard as plain text; a secret is also marked for clipboard managers
// (x-kde-passwordManagerHint = "secret") so that history tools do not keep it.
void setText(const QString& text, bool secret);
QString text();

}  // namespace platform::clipboard
