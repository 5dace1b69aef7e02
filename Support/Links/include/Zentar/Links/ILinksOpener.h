#pragma once

#include <QString>

namespace Zentar::Links
{

/// Opens a URL for the user (a web page in the browser).
class ILinksOpener
{
public:
    virtual ~ILinksOpener() = default;
    /// Opens `url`; what fails is logged, nothing is thrown.
    virtual void OpenUrl(const QString& url) = 0;
};

} // namespace Zentar::Links
