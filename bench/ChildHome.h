#pragma once

// The environment of benchmark children: a home of their own, so that the
// products' settings, logs and crash-tracking files never touch the user's.

#include <QProcessEnvironment>
#include <QString>

namespace Bench
{

inline QProcessEnvironment ChildEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("TMPDIR"), home);
    return env;
}

} // namespace Bench
