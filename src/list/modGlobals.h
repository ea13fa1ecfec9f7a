#pragma once
// The list's part of the run-wide state: the status message and the editor hand-over state.
#include <QString>

#include <cstdint>

namespace modGlobals {

// Shows the text in panel 1 of the main window's status bar, replacing what was there.
void showStatusMessage(const QString& text);

// What the main window hands to the entry editor.
inline QString editorMode;          // "Add" or "Edit"
inline std::int64_t editorRow = 0;  // row number of the entry being edited (Edit only)
inline QString editorUsername;
inline QString editorPassword;
inline QString editorLocation;

void resetEditorStateForTests();

}  // namespace modGlobals
