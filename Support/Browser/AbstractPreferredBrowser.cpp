#include <Zentar/Browser/AbstractPreferredBrowser.h>

namespace Zentar::Browser
{

AbstractPreferredBrowser::~AbstractPreferredBrowser() = default;

void AbstractPreferredBrowser::SetContextCallback(const ContextCallback& callback)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callback = callback;
}

AbstractPreferredBrowser::PreferredBrowserContext AbstractPreferredBrowser::Context() const
{
    ContextCallback callback;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        callback = m_callback;
    }
    return callback ? callback() : PreferredBrowserContext {};
}

} // namespace Zentar::Browser
