#include "modLivery.h"

#include "platform/base/VersionRecord.h"

namespace modLivery {

void loadProductIdentity() {
  const auto& record = platform::versionRecord();
  productName = QString::fromUtf8(record.productName);
  companyName = QString::fromUtf8(record.companyName);
  productSiteName = QString::fromUtf8(record.comments);
  useSkin = true;
  productWebAddress = QStringLiteral(KEYLOFT_WEB_ADDRESS);
}

}  // namespace modLivery
