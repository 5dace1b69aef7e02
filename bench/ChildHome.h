#pragma once

// A home of their own for benchmark programs and their children, so that the
// products' settings, logs and crash-tracking files never touch the user's.

#include <QProcessEnvironment>
#include <QString>

#include <utility>
#include <vector>

namespace Bench
{

// The variables that place a product's files, pointed into `home`.
inline std::vector<std::pair<QString, QString>> HomeVariables(const QString& home)
{
    return { { QStringLiteral("HOME"), home },
        { QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config") },
        { QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data") },
        { QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache") },
        { QStringLiteral("XDG_RUNTIME_DIR"), home }, { QStringLiteral("TMPDIR"), home } };
}

inline QProcessEnvironment ChildEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : HomeVariables(home))
        env.insert(name, value);
    return env;
}

// The same home for this process; before anything reads the variables.
inline void UseHome(const QString& home)
{
    for (const auto& [name, value] : HomeVariables(home))
        qputenv(name.toLatin1().constData(), value.toUtf8());
}

} // namespace Bench
