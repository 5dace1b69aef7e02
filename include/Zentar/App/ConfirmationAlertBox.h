#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/QtUtil/AlertBox.h>

#include <memory>
#include <string>

namespace Zentar::App
{

class ISettingsManager;

/// An alert box with a "Don't show this again" check box. When the user ticks
/// it, the button pressed is stored under "confirm/<id>_answer" together with
/// "confirm/<id>_dont_confirm" = true, and later Exec() calls return the
/// stored button at once without showing anything. Boxes without an id share
/// one remembered answer.
class ZENTAR_APP_EXPORT ConfirmationAlertBox : public Zentar::Util::AlertBox
{
    Q_OBJECT

public:
    /// A box as AlertBox makes it, remembering its answer in `settings` (shared); with an empty
    /// `settings` (logged as an error) nothing is read or stored.
    ConfirmationAlertBox(std::shared_ptr<ISettingsManager> settings, AlertBox::Level level,
        const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
        QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    ~ConfirmationAlertBox() override;

    /// Returns the remembered answer without showing the box when there is
    /// one; otherwise shows the box and returns the button pressed. A box
    /// destroyed while it runs (with its parent) returns NoButton and stores
    /// nothing.
    QMessageBox::StandardButton Exec() override;

    /// The id that names the stored answer; set it before Exec.
    void SetConfirmationId(const QString& id);
    /// The id; empty when none was set.
    QString GetConfirmationId() const;

    /// The check box's text.
    void SetConfirmationText(const QString& text);
    /// The check box's text.
    QString GetConfirmationText() const;

    /// Whether the check box is ticked (not what is stored).
    void SetDontConfirm(bool dontConfirm);
    /// Whether the check box is ticked.
    bool IsDontConfirm() const;

    /// Stores `answer` instead of the button pressed when the answer is
    /// remembered. The Exec() that shows the box still returns the button.
    void SetForceSaveAnswer(int answer);

    /// By default a reject-role button (Cancel, Close, Abort) is never
    /// remembered.
    /// Pass true to remember those too.
    void SetRememberOnReject(bool remember);
    /// Whether a reject-role button is remembered.
    bool RememberOnReject() const;

    /// Only these buttons are remembered; empty means any.
    void SetRememberOnly(QMessageBox::StandardButtons buttons);
    /// The buttons that are remembered; empty means any.
    QMessageBox::StandardButtons RememberOnly() const;

    /// Shows the box again next time; the stored answer stays.
    void Reset();

private:
    std::string GetSettingKey(const std::string& suffix) const;
    int ReadAnswer() const;
    bool ReadDontConfirm() const;
    void WriteAnswer(int answer);
    void WriteDontConfirm(bool dontConfirm);

    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
