#pragma once

#include <Zentar/EmailDialog/AbstractEmailDialog.h>

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

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

// The library's e-mail dialog. Child object names, for products that style
// it: "emailEdit", "emailError", "privacyLink".
class EmailDialog : public QDialog, public AbstractEmailDialog
{
    Q_OBJECT

public:
    EmailDialog(std::shared_ptr<App::ISettingsManager> mailSettings,
        std::shared_ptr<Links::ILinksManager> links, QWidget* parent);
    ~EmailDialog() override;

    bool Exec() override;
    void accept() override;

private:
    void Validate();

    std::shared_ptr<App::ISettingsManager> m_mailSettings;
    std::shared_ptr<Links::ILinksManager> m_links;
    QLineEdit* m_edit = nullptr;
    QLabel* m_error = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace Zentar::EmailDialog
