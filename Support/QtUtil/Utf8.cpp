#include <Zentar/QtUtil/Utf8.h>

#include <QByteArray>

namespace Zentar::Util
{

QString Utf8ToQString(const std::string& s)
{
    return QString::fromUtf8(s.data(), int(s.size()));
}

std::string QStringToUtf8(const QString& s)
{
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace Zentar::Util
