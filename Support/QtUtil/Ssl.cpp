#include <Zentar/QtUtil/Ssl.h>

#include <atomic>

namespace Zentar::Util
{

namespace
{
std::atomic<bool> defaultSslUsage { true };
}

void SetDefaultSslUsage(bool useSsl)
{
    defaultSslUsage = useSsl;
}

bool GetDefaultSslUsage()
{
    return defaultSslUsage;
}

} // namespace Zentar::Util
