#pragma once

#include <Zentar/EmailDialog/AbstractEmailDialog.h>

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace Zentar::App
{
class ISettingsManager;
}
namespace Zentar::Links
{
class ILinksManager;
}

namespace Zentar::EmailDialog
{

/// Makes the e-mail dialog. The library's dialog asks for an address, checks
/// it, and on acceptance stores it under "Email" in the mail settings store,
/// with "IsRegUser" = "1" so that it is not asked again; its privacy link comes
/// from the links service (PRIVACY_POLICY_URL) and is hidden when the product
/// has none.
class EmailDialogCreator
{
public:
    /// Makes a product's own dialog from the mail settings store, the links service and the parent.
    using Factory = std::function<std::unique_ptr<AbstractEmailDialog>(
        const std::shared_ptr<App::ISettingsManager>& mailSettings,
        const std::shared_ptr<Links::ILinksManager>& links, QWidget* parent)>;

    EmailDialogCreator();
    ~EmailDialogCreator();

    /// A dialog owned by the caller, or an empty pointer.
    ///
    /// Empty when no dialog can be made: no mail settings store, or the
    /// product's factory made none. The library's dialog is a child window of
    /// `parent`; should the parent be destroyed while the dialog runs, Exec()
    /// returns false and the returned object can still be deleted as usual.
    std::unique_ptr<AbstractEmailDialog> Create(std::shared_ptr<App::ISettingsManager> mailSettings,
        std::shared_ptr<Links::ILinksManager> links, QWidget* parent);

    /// Process-wide: the product's own dialog in place of the library's; an
    /// empty factory restores the library's.
    static void SetFactory(Factory factory);
};

/// The check the dialog applies: one '@', a local part without leading,
/// trailing or doubled dots, a domain of at least two dot-separated labels of
/// letters, digits and inner hyphens; surrounding white space is ignored.
bool IsValidEmailAddress(const QString& address);

} // namespace Zentar::EmailDialog
