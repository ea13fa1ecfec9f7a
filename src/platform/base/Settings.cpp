#include "Settings.h"
#include "RunState.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace platform::settings {
namespace {

QString folder() {
  return baseRunState().settingsFolder.isEmpty()
             ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
             : baseRunState().settingsFolder;
}

// The application name becomes a file name: it must not lead out of the folder.
QString fileFor(const QString& appName) {
  QString name = appName;
  name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
  if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) name.prepend(QLatin1Char('_'));
  return QDir(folder()).filePath(name + QStringLiteral(".ini"));
}

QString keyFor(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }

}  // namespace

QString getSetting(const QString& appName, const QString& section, const QString& key, const QString& defaultValue) {
  QSettings store(fileFor(appName), QSettings::IniFormat);
  return store.value(keyFor(section, key), defaultValue).toString();
}

qint64 getCountSetting(const QString& appName, const QString& section, const QString& key, qint64 defaultValue,
                       qint64 most) {
  bool whole = false;
  const qint64 stored = getSetting(appName, section, key, QString()).trimmed().toLongLong(&whole);
  return whole && stored >= 0 ? std::min(stored, most) : defaultValue;
}

void saveSetting(const QString& appName, const QString& section, const QString& key, const QString& value) {
  QDir().mkpath(folder());
  QSettings store(fileFor(appName), QSettings::IniFormat);
  store.setValue(keyFor(section, key), value);
  store.sync();
}

void removeSetting(const QString& appName, const QString& section, const QString& key) {
  QSettings store(fileFor(appName), QSettings::IniFormat);
  store.remove(keyFor(section, key));
  store.sync();
}

void setSettingsFolderForTests(const QString& folder) { baseRunState().settingsFolder = folder; }

}  // namespace platform::settings
