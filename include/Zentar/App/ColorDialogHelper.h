#pragma once

#include <Zentar/App/ZentarAppExport.h>

namespace Zentar::App
{

// Keeps the custom colours of QColorDialog across runs: a helper loads the
// stored colours into QColorDialog when it is created and writes all of
// QColorDialog's custom colours back when it is destroyed. The colours live
// in the application's settings store under "Zentar::App::ColorDialogHelper".
// Copies load nothing but save when they are destroyed; the last helper
// destroyed wins.
class ZENTAR_APP_EXPORT ColorDialogHelper
{
public:
    ColorDialogHelper();
    ColorDialogHelper(const ColorDialogHelper&) = default;
    ColorDialogHelper& operator=(const ColorDialogHelper&) = default;
    virtual ~ColorDialogHelper();
};

} // namespace Zentar::App
