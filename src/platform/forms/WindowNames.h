#pragma once
// The design's window names, in one place. A folder that cannot see a window's class reaches it
// by one of these; where the class is visible, by type (forms::show<frmAdd>()).
#include <QLatin1StringView>

#include <array>

namespace platform::windows {

inline constexpr QLatin1StringView kForm1{"Form1"};
inline constexpr QLatin1StringView kForm8{"Form8"};
inline constexpr QLatin1StringView kFrmAbout{"frmAbout"};
inline constexpr QLatin1StringView kFrmAdd{"frmAdd"};
inline constexpr QLatin1StringView kFrmChangePassword{"frmChangePassword"};
inline constexpr QLatin1StringView kFrmEncrypt{"frmEncrypt"};
inline constexpr QLatin1StringView kFrmFind{"frmFind"};
inline constexpr QLatin1StringView kFrmGenerate{"frmGenerate"};
inline constexpr QLatin1StringView kFrmPass{"frmPass"};
inline constexpr QLatin1StringView kFrmSplash{"frmSplash"};
inline constexpr QLatin1StringView kFrmWebsite{"frmWebsite"};

// Every window of the program. A name outside it is a slip, not a window this run left unregistered.
inline constexpr std::array kAll = {kForm1,   kForm8,     kFrmAbout,   kFrmAdd,  kFrmChangePassword, kFrmEncrypt,
                                    kFrmPass, kFrmSplash, kFrmWebsite, kFrmFind, kFrmGenerate};

}  // namespace platform::windows
