#pragma once

class QObject;

namespace Zentar::App
{

// Gives a scroll area its touch scroller, unless one of its direct children
// already is one; anything else is left alone.
void AttachScroller(QObject* receiver);

} // namespace Zentar::App
