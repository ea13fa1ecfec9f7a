#pragma once
// The style sheets that carry a skin's look: built from its images and colours.
#include "skin/SkinFile.h"

#include <QString>

namespace skinstyle {

// The dynamic property that marks a dressed window (and selects it in the style sheet).
inline constexpr char kWindowProperty[] = "skinWindow";

// `folder` holds the skin's images.
QString windowStyleSheet(const SkinValues& skin, const QString& folder);
QString applicationStyleSheet(const SkinValues& skin, const QString& folder);

}  // namespace skinstyle
