#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <cstdint>
#include <list>
#include <string>

// State the test options share between their handling and the link check.
namespace Zentar::App::AppTest::Detail
{

// The test languages of the last handling, in the product's order.
ZENTAR_APP_TEST_EXPORT std::list<std::string>& TestLocales();
// When the next scheduled URL opens, in ms from its scheduling; never reset,
// so URLs of later handlings queue behind earlier ones.
int64_t& OpenDelayAccumulator();

} // namespace Zentar::App::AppTest::Detail
