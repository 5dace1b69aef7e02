#include <Zentar/QtUtil/AppBits.h>

namespace Zentar::Util
{

QString AppBits()
{
    return QString::number(sizeof(void*) * 8);
}

} // namespace Zentar::Util
