#pragma once
// The assets compiled into the program: the skin, the splash picture, the button pictures and
// the desktop icons.

namespace resources {

// Registers the embedded assets. Safe to call more than once; the skin control calls it itself,
// and a window that shows an embedded picture before any skin exists calls it first.
void initResources();

}  // namespace resources
