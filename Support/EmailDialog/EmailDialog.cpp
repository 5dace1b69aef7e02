#include "EmailDialog.h"

#include <Zentar/EmailDialog/EmailDialogCreator.h>
#include <Zentar/Links/ILinksManager.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <glog/logging.h>

namespace Zentar::EmailDialog
{

namespace
{

QMutex factoryMutex;
EmailDialogCreator::Factory productFactory;

} // namespace

AbstractEmailDialog::~AbstractEmailDialog() = default;

bool IsValidEmailAddress(const QString& text)
{
    static const QRegularExpression kLocal(
        QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*$"));
    static const QRegularExpression kLabel(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?$"));

    const QString address = text.trimmed();
    if (address.size() > 254 || address.count(QLatin1Char('@')) != 1)
        return false;
    const QString local = address.section(QLatin1Char('@'), 0, 0);
    const QString domain = address.section(QLatin1Char('@'), 1);
    if (local.isEmpty() || local.size() > 64 || !kLocal.match(local).hasMatch())
        return false;
    const QStringList labels = domain.split(QLatin1Char('.'));
    if (labels.size() < 2)
        return false;
    for (const QString& label : labels)
        if (label.size() > 63 || !kLabel.match(label).hasMatch())
            return false;
    return true;
}

EmailDialog::EmailDialog(std::shared_ptr<App::ISettingsManager> mailSettings,
    std::shared_ptr<Links::ILinksManager> links, QWidget* parent)
    : QDialog(parent)
    , m_mailSettings(std::move(mailSettings))
    , m_links(std::move(links))
{
    setWindowTitle(tr("Stay informed"));
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("Enter your e-mail address to hear about updates, tips and offers for %1.")
                                 .arg(QCoreApplication::applicationName()),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("emailEdit"));
    m_edit->setPlaceholderText(tr("name@example.com"));
    layout->addWidget(m_edit);

    m_error = new QLabel(tr("This does not look like an e-mail address."), this);
    m_error->setObjectName(QStringLiteral("emailError"));
    m_error->setVisible(false);
    layout->addWidget(m_error);

    const QString privacyUrl = m_links ? m_links->GetUrl(URLKeys::PRIVACY_POLICY_URL) : QString();
    if (!privacyUrl.isEmpty()) {
        auto* privacy = new QLabel(
            tr("We respect your privacy: <a href=\"%1\">privacy policy</a>.").arg(privacyUrl.toHtmlEscaped()),
            this);
        privacy->setObjectName(QStringLiteral("privacyLink"));
        privacy->setTextFormat(Qt::RichText);
        // The links service decides how the page opens, not the label.
        connect(
            privacy, &QLabel::linkActivated, this, [this](const QString& link) { m_links->OpenUrl(link); });
        layout->addWidget(privacy);
    }

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr("Subscribe"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(tr("Not now"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_edit, &QLineEdit::textChanged, this, &EmailDialog::Validate);
    Validate();
}

EmailDialog::~EmailDialog() = default;

EmailDialogHandle::EmailDialogHandle(EmailDialog* dialog)
    : m_dialog(dialog)
{
}

EmailDialogHandle::~EmailDialogHandle()
{
    delete m_dialog.data();
}

bool EmailDialogHandle::Exec()
{
    if (!m_dialog)
        return false;
    const int result = m_dialog->exec();
    return m_dialog && result == QDialog::Accepted;
}

void EmailDialog::accept()
{
    const QString address = m_edit->text().trimmed();
    if (!IsValidEmailAddress(address))
        return; // Return in the line edit must not get past the check.
    m_mailSettings->SetString("Email", Util::QStringToUtf8(address));
    m_mailSettings->SetString(
        "EmailDate", Util::QStringToUtf8(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
    m_mailSettings->SetString("IsRegUser", "1");
    QDialog::accept();
}

void EmailDialog::Validate()
{
    const QString text = m_edit->text();
    const bool valid = IsValidEmailAddress(text);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(valid);
    m_error->setVisible(!valid && !text.trimmed().isEmpty());
}

EmailDialogCreator::EmailDialogCreator() = default;
EmailDialogCreator::~EmailDialogCreator() = default;

std::unique_ptr<AbstractEmailDialog> EmailDialogCreator::Create(
    std::shared_ptr<App::ISettingsManager> mailSettings, std::shared_ptr<Links::ILinksManager> links,
    QWidget* parent)
{
    Factory factory;
    {
        QMutexLocker lock(&factoryMutex);
        factory = productFactory;
    }
    if (factory)
        return factory(mailSettings, links, parent);
    if (!mailSettings) {
        LOG(WARNING) << "The e-mail dialog needs a mail settings store";
        return nullptr;
    }
    return std::make_unique<EmailDialogHandle>(
        new EmailDialog(std::move(mailSettings), std::move(links), parent));
}

void EmailDialogCreator::SetFactory(Factory factory)
{
    QMutexLocker lock(&factoryMutex);
    productFactory = std::move(factory);
}

} // namespace Zentar::EmailDialog
