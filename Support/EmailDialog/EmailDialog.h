#pragma once

#include <Zentar/EmailDialog/AbstractEmailDialog.h>

#include <QDialog>
#include <QPointer>

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
class EmailDialog : public QDialog
{
    Q_OBJECT

public:
    EmailDialog(std::shared_ptr<App::ISettingsManager> mailSettings,
        std::shared_ptr<Links::ILinksManager> links, QWidget* parent);
    ~EmailDialog() override;

    void accept() override;

private:
    void Validate();

    std::shared_ptr<App::ISettingsManager> m_mailSettings;
    std::shared_ptr<Links::ILinksManager> m_links;
    QLineEdit* m_edit = nullptr;
    QLabel* m_error = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

// What the creator hands out. The dialog is a child of its parent window and
// may be deleted with it, even while it runs; the handle then holds nothing,
// and its owner can still delete it safely.
class EmailDialogHandle : public AbstractEmailDialog
{
public:
    explicit EmailDialogHandle(EmailDialog* dialog);
    ~EmailDialogHandle() override;

    // False also when the dialog went with its parent.
    bool Exec() override;

private:
    QPointer<EmailDialog> m_dialog;
};

} // namespace Zentar::EmailDialog
