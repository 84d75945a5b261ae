#pragma once
// A profile store over an INI file in a test's temporary folder, so no test touches the user's
// own settings.

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "util/KWProfileStore.h"

inline std::unique_ptr<QSettings> TemporaryProfileSettings(const QTemporaryDir& dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("p.ini")), QSettings::IniFormat);
}

inline std::unique_ptr<CKWProfileStore> TemporaryProfileStore(const QTemporaryDir& dir)
{
    return std::make_unique<CKWProfileStore>(TemporaryProfileSettings(dir));
}
