#pragma once

// Products include the interface by this path; it belongs to the layer below,
// whose libraries call it.
#include <Zentar/Interfaces/ICustomizationManager.h>
