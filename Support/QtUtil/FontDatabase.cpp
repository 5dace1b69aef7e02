#include <Zentar/QtUtil/FontDatabase.h>

#include <QFile>
#include <QFontDatabase>

namespace Zentar::Util
{

int FontDatabase::addApplicationFont(const QString& fileName)
{
    // Qt warns on stderr about files it cannot open; a missing file is an
    // expected case for callers (manifests name optional fonts).
    if (fileName.isEmpty() || !QFile::exists(fileName))
        return -1;
    return QFontDatabase::addApplicationFont(fileName);
}

QStringList FontDatabase::applicationFontFamilies(int id)
{
    return id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
}

} // namespace Zentar::Util
