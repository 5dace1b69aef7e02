#include <Zentar/App/Informer.h>

#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QToolTip>
#include <QUrl>

namespace Zentar::App
{

namespace
{

const auto kMailtoPrefix = QLatin1String("mailto:");

} // namespace

struct Informer::Private {
    QPointer<Zentar::Util::AlertBox> box;
    std::function<QWidget*()> parentProvider;
};

Informer::Informer(const std::function<QWidget*()>& parentProvider)
    : d(std::make_unique<Private>())
{
    d->parentProvider = parentProvider;
    if (d->parentProvider)
        setParent(d->parentProvider());
}

Informer::~Informer() = default;

QMessageBox::StandardButtons Informer::ExecDialog(const QString& text, const QString& learnMoreLink,
    const QString& iconPath, Zentar::Util::AlertBox::Level level,
    const std::map<QMessageBox::StandardButton, QString>& buttons)
{
    QMessageBox::StandardButtons standardButtons;
    for (const auto& entry : buttons)
        standardButtons |= entry.first;

    QWidget* parent = d->parentProvider ? d->parentProvider() : nullptr;
    auto* box = new Zentar::Util::AlertBox(
        level, QString(), text, standardButtons, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    d->box = box;

    for (const auto& entry : buttons) {
        if (QAbstractButton* button = box->button(entry.first); button && !entry.second.isEmpty())
            button->setText(entry.second);
    }
    box->setObjectName(QStringLiteral("Informer_AlertBox"));
    box->setIconPixmap(
        iconPath.isEmpty() ? QPixmap(QStringLiteral(":/Icons/large_icon.png")) : QPixmap(iconPath));
    box->setWindowIcon(QIcon(QStringLiteral(":/Icons/window_icon.png")));
    box->SetLearnMoreLink(learnMoreLink);

    // Links are ours to handle: e-mail addresses go to the clipboard rather
    // than to whatever mail program the system would start.
    const QList<QLabel*> labels = box->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        label->setOpenExternalLinks(false);
        connect(label, &QLabel::linkActivated, this, &Informer::OnDialogLinkActivated);
    }
    box->SetWidth(450);

    // The product may destroy this Informer, or the box's parent, while the
    // box runs; after Exec neither may be assumed alive.
    const QPointer<Informer> self(this);
    const QPointer<Zentar::Util::AlertBox> guardedBox(box);
    const QMessageBox::StandardButton pressed = box->Exec();
    if (guardedBox)
        guardedBox->deleteLater();
    if (self)
        d->box = nullptr;
    return pressed;
}

bool Informer::Close()
{
    return d->box ? d->box->close() : true;
}

void Informer::OnDialogLinkActivated(const QString& link)
{
    if (!link.contains(kMailtoPrefix) && QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode)))
        return;

    if (!qobject_cast<QWidget*>(sender()))
        return;
    QString address = link;
    address.remove(kMailtoPrefix);
    QGuiApplication::clipboard()->setText(address, QClipboard::Clipboard);
    QToolTip::showText(QCursor::pos(), tr("Email address has been copied to the clipboard"));
}

} // namespace Zentar::App
