#pragma once

#include <Zentar/App/ZentarAppExport.h>

namespace Zentar::App
{

/// Keeps the custom colours of QColorDialog across runs: a helper loads the
/// stored colours into QColorDialog when it is created and writes all of
/// QColorDialog's custom colours back when it is destroyed. The colours live
/// in the application's settings store under "Zentar::App::ColorDialogHelper".
/// Copies load nothing but save when they are destroyed; the last helper
/// destroyed wins.
/// Make one while a colour dialog is used; GUI thread, with an Application whose settings
/// store is set (without one nothing is loaded or saved, and an error is logged).
class ZENTAR_APP_EXPORT ColorDialogHelper
{
public:
    /// Loads the stored colours into QColorDialog.
    ColorDialogHelper();
    //!@{
    /// A copy loads nothing; it saves when destroyed, as every helper does.
    ColorDialogHelper(const ColorDialogHelper&) = default;
    ColorDialogHelper& operator=(const ColorDialogHelper&) = default;
    //!@}
    virtual ~ColorDialogHelper();
};

} // namespace Zentar::App
