#pragma once

#include <Zentar/Core/Version.h>

#include <QString>

namespace Zentar::Util
{

/// How many fields of a version VersionToString writes.
enum VersionFormat {
    VersionFormat_MajorMinorPatch = 0, // 20.4.0
    VersionFormat_Full = 1, // 20.4.0.1234
    VersionFormat_MajorMinor = 2, // 20.4
};

/// The fields of `v` joined by `separator`; an unknown format gives
/// major.minor.patch.
QString VersionToString(const Zentar::Core::Version& v, VersionFormat format = VersionFormat_MajorMinorPatch,
    const QString& separator = QStringLiteral("."));

} // namespace Zentar::Util
