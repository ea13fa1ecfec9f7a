#pragma once
// The product identity: names shown in captions and messages, the web address, the skin switch.
#include <QString>

namespace modLivery {

inline QString productName;
inline QString companyName;
inline QString productSiteName;
inline QString productWebAddress;
inline bool useSkin = false;

// Reads the identity from the executable's version record; every call sets all values anew.
void loadProductIdentity();

}  // namespace modLivery
