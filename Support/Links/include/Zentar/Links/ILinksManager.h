#pragma once

#include <Zentar/Links/ILinksGenerator.h>
#include <Zentar/Links/ILinksOpener.h>

namespace Zentar::Links
{

class ILinksManager : public ILinksGenerator, public ILinksOpener
{
};

} // namespace Zentar::Links
