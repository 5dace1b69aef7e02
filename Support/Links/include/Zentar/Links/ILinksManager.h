#pragma once

#include <Zentar/Links/ILinksGenerator.h>
#include <Zentar/Links/ILinksOpener.h>

namespace Zentar::Links
{

/// The links service of a product: makes the URL of a key and opens it.
class ILinksManager : public ILinksGenerator, public ILinksOpener
{
};

} // namespace Zentar::Links
