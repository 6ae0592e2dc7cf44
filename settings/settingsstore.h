// SPDX-License-Identifier: MIT
#pragma once

#include "settingskeys.h"

#include <QString>

namespace quorvel {

/// The per-user settings store: text values addressed by application name,
/// section and key. Every save is on disk before it returns.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The stored value, or `defaultValue` when the key or its section is absent.
    /// Raises AppError when the store cannot be read.
    virtual QString GetSetting(const QString& appName, const QString& section, const QString& key,
                               const QString& defaultValue) const;

    /// Stores the value, creating section and key as needed. Raises AppError
    /// when the value could not be written to disk.
    virtual void SaveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value);

    /// The two calls for the program's own application and section.
    QString get(const QString& key, const QString& defaultValue) const;
    void save(const QString& key, const QString& value);

    /// Points every store of this process at another folder (tests use a temporary one).
    static void setConfigFolder(const QString& folder);
};

/// The Boolean text the store keeps for a switch.
inline QString booleanText(bool value) {
    return value ? settings::kTrue : settings::kFalse;
}

/// Reads a stored switch: "True"/"False" in any case, or a number (non-zero is
/// true). Any other text raises a type-mismatch AppError.
bool booleanReading(const QString& text);

} // namespace quorvel
