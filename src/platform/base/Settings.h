#pragma once
// The per-user settings store, addressed by application name, section and key: an INI file
// per application in the user's configuration folder.
#include <QString>

#include <limits>

namespace platform::settings {

QString getSetting(const QString& appName, const QString& section, const QString& key, const QString& defaultValue);
// A whole number of 0 or more, at most `most`; anything else stored there, or nothing, gives
// `defaultValue`.
qint64 getCountSetting(const QString& appName, const QString& section, const QString& key, qint64 defaultValue,
                       qint64 most = std::numeric_limits<qint64>::max());
// Written to disk at once: the program may end without any clean-up.
void saveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);
// Takes the key out of the file (at once, like saveSetting); a key that isn't there is no error.
void removeSetting(const QString& appName, const QString& section, const QString& key);

// Tests keep their settings in a folder of their own; an empty text restores the user's folder.
void setSettingsFolderForTests(const QString& folder);

}  // namespace platform::settings
