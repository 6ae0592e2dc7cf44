// SPDX-License-Identifier: MIT
#include "settingsstore.h"

#include "platform/apperror.h"
#include "settingskeys.h"

#include <QLocale>
#include <QSettings>

namespace quorvel {

namespace {
// INI in the user's config folder: $XDG_CONFIG_HOME/<app>/<app>.ini, section = group.
QSettings openStore(const QString& appName) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, appName, appName);
}

[[noreturn]] void raiseFor(QSettings::Status status) {
    if (status == QSettings::FormatError) {
        throw AppError::fromNumber(errnum::kPathFileAccess);
    }
    throw AppError::fromNumber(errnum::kPermissionDenied);
}
} // namespace

QString SettingsStore::GetSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& defaultValue) const {
    QSettings store = openStore(appName);
    if (store.status() == QSettings::AccessError) {
        raiseFor(store.status());
    }
    store.beginGroup(section);
    const QVariant value = store.value(key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                const QString& value) {
    QSettings store = openStore(appName);
    store.beginGroup(section);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    if (store.status() != QSettings::NoError) {
        raiseFor(store.status());
    }
}

QString SettingsStore::get(const QString& key, const QString& defaultValue) const {
    return GetSetting(settings::kAppName, settings::kSection, key, defaultValue);
}

void SettingsStore::save(const QString& key, const QString& value) {
    SaveSetting(settings::kAppName, settings::kSection, key, value);
}

void SettingsStore::setConfigFolder(const QString& folder) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

bool booleanReading(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(settings::kTrue, Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (trimmed.compare(settings::kFalse, Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const double number = QLocale().toDouble(trimmed, &ok);
    if (!ok) {
        const double plain = trimmed.toDouble(&ok);
        if (ok) {
            return plain != 0.0;
        }
        throw AppError::fromNumber(errnum::kTypeMismatch);
    }
    return number != 0.0;
}

} // namespace quorvel
