#pragma once

#include <QString>

namespace Zentar::Links
{

// Opens a URL for the user (a web page in the browser).
class ILinksOpener
{
public:
    virtual ~ILinksOpener() = default;
    virtual void OpenUrl(const QString& url) = 0;
};

} // namespace Zentar::Links
