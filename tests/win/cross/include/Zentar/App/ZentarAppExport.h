#pragma once

// The Windows test program compiles the application's OS files into itself,
// not into a library: nothing is exported or imported.
#define ZENTAR_APP_EXPORT
#define ZENTAR_APP_TEST_EXPORT
