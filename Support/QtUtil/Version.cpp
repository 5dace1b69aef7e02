#include <Zentar/QtUtil/Version.h>

#include <QStringList>

namespace Zentar::Util
{

QString VersionToString(const Core::Version& v, VersionFormat format, const QString& separator)
{
    QStringList parts { QString::number(v.major), QString::number(v.minor) };
    if (format != VersionFormat_MajorMinor)
        parts << QString::number(v.patch);
    if (format == VersionFormat_Full)
        parts << QString::number(v.build);
    return parts.join(separator);
}

} // namespace Zentar::Util
