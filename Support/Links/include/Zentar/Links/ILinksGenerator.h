#pragma once

#include <Zentar/Links/URLKeys.h>

#include <QString>

namespace Zentar::Links
{

/// Turns a link key into the URL of this product build; empty when the
/// product has no such link.
class ILinksGenerator
{
public:
    virtual ~ILinksGenerator() = default;
    /// The URL of `key` in the current interface language; empty when there is none.
    virtual QString GetUrl(URLKeys key) const = 0;
};

} // namespace Zentar::Links
