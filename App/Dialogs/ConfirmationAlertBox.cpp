#include <Zentar/App/ConfirmationAlertBox.h>

#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPointer>

#include <boost/format.hpp>
#include <glog/logging.h>

namespace Zentar::App
{

struct ConfirmationAlertBox::Private {
    std::shared_ptr<ISettingsManager> settings;
    QString confirmationId;
    QCheckBox* checkBox = nullptr;
    bool rememberOnReject = false;
    QMessageBox::StandardButtons rememberOnly;
    bool forceSaveAnswer = false;
    int forcedAnswer = 0;
};

ConfirmationAlertBox::ConfirmationAlertBox(std::shared_ptr<ISettingsManager> settings, AlertBox::Level level,
    const QString& title, const QString& text, QMessageBox::StandardButtons buttons, QWidget* parent,
    Qt::WindowFlags flags)
    : AlertBox(level, title, text, buttons, parent, flags)
    , d(std::make_unique<Private>())
{
    d->settings = std::move(settings);
    if (!d->settings)
        LOG(ERROR) << "Confirmation box without a settings store: its answers cannot be remembered";

    d->checkBox = new QCheckBox(tr("Don't show this again"), this);
    d->checkBox->setObjectName(QStringLiteral("dontConfirmCheckBox"));
    setCheckBox(d->checkBox);
}

ConfirmationAlertBox::~ConfirmationAlertBox() = default;

QMessageBox::StandardButton ConfirmationAlertBox::Exec()
{
    if (ReadDontConfirm())
        return static_cast<QMessageBox::StandardButton>(ReadAnswer());

    // The box may go with its parent while it runs: that answers nothing,
    // and nothing of the box may be touched afterwards.
    const QPointer<ConfirmationAlertBox> alive(this);
    const QMessageBox::StandardButton pressed = AlertBox::Exec();
    if (!alive)
        return QMessageBox::NoButton;
    if (!d->checkBox->isChecked())
        return pressed;

    if (!d->rememberOnReject) {
        const auto* buttonBox = findChild<QDialogButtonBox*>();
        if (buttonBox && buttonBox->buttonRole(clickedButton()) == QDialogButtonBox::RejectRole)
            return pressed;
    }
    if (d->rememberOnly && !d->rememberOnly.testFlag(pressed))
        return pressed;

    WriteDontConfirm(true);
    WriteAnswer(pressed);
    return pressed;
}

void ConfirmationAlertBox::SetConfirmationId(const QString& id)
{
    d->confirmationId = id;
}

QString ConfirmationAlertBox::GetConfirmationId() const
{
    return d->confirmationId;
}

void ConfirmationAlertBox::SetConfirmationText(const QString& text)
{
    d->checkBox->setText(text);
}

QString ConfirmationAlertBox::GetConfirmationText() const
{
    return d->checkBox->text();
}

void ConfirmationAlertBox::SetDontConfirm(bool dontConfirm)
{
    d->checkBox->setChecked(dontConfirm);
}

bool ConfirmationAlertBox::IsDontConfirm() const
{
    return d->checkBox->isChecked();
}

void ConfirmationAlertBox::SetForceSaveAnswer(int answer)
{
    d->forceSaveAnswer = true;
    d->forcedAnswer = answer;
}

void ConfirmationAlertBox::SetRememberOnReject(bool remember)
{
    d->rememberOnReject = remember;
}

bool ConfirmationAlertBox::RememberOnReject() const
{
    return d->rememberOnReject;
}

void ConfirmationAlertBox::SetRememberOnly(QMessageBox::StandardButtons buttons)
{
    d->rememberOnly = buttons;
}

QMessageBox::StandardButtons ConfirmationAlertBox::RememberOnly() const
{
    return d->rememberOnly;
}

void ConfirmationAlertBox::Reset()
{
    WriteDontConfirm(false);
}

std::string ConfirmationAlertBox::GetSettingKey(const std::string& suffix) const
{
    // The id goes in as it is: boxes without an id share one key.
    return (boost::format("confirm/%1%_%2%") % Util::QStringToUtf8(d->confirmationId) % suffix).str();
}

int ConfirmationAlertBox::ReadAnswer() const
{
    return d->settings ? d->settings->GetInt(GetSettingKey("answer"), 0) : 0;
}

bool ConfirmationAlertBox::ReadDontConfirm() const
{
    return d->settings && d->settings->GetBool(GetSettingKey("dont_confirm"), false);
}

void ConfirmationAlertBox::WriteAnswer(int answer)
{
    if (d->settings)
        d->settings->SetInt(GetSettingKey("answer"), d->forceSaveAnswer ? d->forcedAnswer : answer);
}

void ConfirmationAlertBox::WriteDontConfirm(bool dontConfirm)
{
    if (d->settings)
        d->settings->SetBool(GetSettingKey("dont_confirm"), dontConfirm);
}

} // namespace Zentar::App
