// The settings' record of the vaults Keyloft last left encrypted, one key per vault file.
#include "platform/base/Settings.h"
#include "platform/base/VersionRecord.h"
#include "VaultInternals.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <system_error>

namespace modGlobals::internal {
namespace {

const QString kSection = QStringLiteral("EncryptedVaults");

// The vault's file as its links resolve, so that one vault reached by two paths is one key. QSettings
// reads '/' and '\' in a key as groups, so the path's bytes go in as unpadded base64url.
QString keyOfVault() {
  const std::string path = vaultPath();
  std::error_code failed;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, failed);
  if (failed) qCDebug(vaultLog) << "Remembered by its path as given:" << QString::fromStdString(failed.message());
  const std::string& used = failed ? path : resolved.native();
  return QString::fromLatin1(QByteArray(used.data(), static_cast<qsizetype>(used.size()))
                                 .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString appName() { return QString::fromUtf8(platform::versionRecord().productName); }

}  // namespace

bool rememberedSealed() {
  return platform::settings::getSetting(appName(), kSection, keyOfVault(), {}) == QStringLiteral("1");
}

void rememberSealed(bool sealed) {
  if (sealed == rememberedSealed()) return;  // a save of a sealed vault need not rewrite the settings
  if (sealed)
    platform::settings::saveSetting(appName(), kSection, keyOfVault(), QStringLiteral("1"));
  else
    platform::settings::removeSetting(appName(), kSection, keyOfVault());
}

}  // namespace modGlobals::internal
