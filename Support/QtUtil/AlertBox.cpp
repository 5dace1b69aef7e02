#include <Zentar/QtUtil/AlertBox.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>

namespace Zentar::Util
{

namespace
{

QMessageBox::Icon IconOf(AlertBox::Level level)
{
    switch (level) {
    case AlertBox::Information:
        return QMessageBox::Information;
    case AlertBox::Warning:
        return QMessageBox::Warning;
    case AlertBox::Critical:
        return QMessageBox::Critical;
    case AlertBox::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

AlertBox::AlertBox(Level level, const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons, QWidget* parent, Qt::WindowFlags flags)
    : QMessageBox(IconOf(level), title, text, buttons, parent, flags)
    , m_level(level)
{
    // Without this QMessageBox adds an Ok button to a box given none.
    if (buttons == QMessageBox::NoButton)
        setStandardButtons(QMessageBox::NoButton);
    connect(this, &QMessageBox::buttonClicked, this, [this](QAbstractButton* button) { m_pressed = button; });
}

AlertBox::~AlertBox() = default;

AlertBox::Level AlertBox::GetLevel() const
{
    return m_level;
}

QMessageBox::StandardButton AlertBox::Exec()
{
    m_pressed = nullptr;
    // The box may go with its parent while it runs; then no button was pressed.
    const QPointer<AlertBox> alive(this);
    exec();
    if (!alive)
        return QMessageBox::NoButton;
    return m_pressed ? standardButton(m_pressed) : QMessageBox::NoButton;
}

void AlertBox::Show(bool modal)
{
    m_pressed = nullptr;
    setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    show();
}

void AlertBox::SetWidth(int pixels)
{
    m_width = pixels;
    if (m_width > 0) {
        ApplyWidth();
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // Lets the message box compute its own size again.
        QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
    }
}

void AlertBox::SetLearnMoreLink(const QString& url)
{
    const bool hadLink = !m_learnMoreLink.isEmpty();
    m_learnMoreLink = url;
    if (url.isEmpty()) {
        if (hadLink)
            setInformativeText(QString());
        return;
    }
    setInformativeText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), tr("Learn more")));
}

// QMessageBox sizes itself with setFixedSize whenever it is shown or its
// layout changes, so a chosen width has to be put back after each of those.
void AlertBox::ApplyWidth()
{
    if (m_width <= 0 || !isVisible() || !layout())
        return;
    const QList<QLabel*> labels = findChildren<QLabel*>();
    for (QLabel* label : labels)
        if (!label->text().isEmpty())
            label->setWordWrap(true);
    QLayout* grid = layout();
    grid->activate();
    const int width = qMax(m_width, grid->totalMinimumSize().width());
    const int height
        = grid->hasHeightForWidth() ? grid->totalHeightForWidth(width) : grid->totalMinimumSize().height();
    setFixedSize(width, height);
    // The word-wrap changes above posted a layout request; served, it would
    // resize the box again and come back here.
    QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
}

bool AlertBox::event(QEvent* e)
{
    const bool result = QMessageBox::event(e);
    if (e->type() == QEvent::LayoutRequest)
        ApplyWidth();
    return result;
}

void AlertBox::showEvent(QShowEvent* e)
{
    QMessageBox::showEvent(e);
    ApplyWidth();
}

void AlertBox::closeEvent(QCloseEvent* e)
{
    QMessageBox::closeEvent(e);
    if (e->isAccepted()) {
        // Closed through the escape button, which QMessageBox records
        // without a buttonClicked signal.
        m_pressed = clickedButton();
        return;
    }
    // No escape button: a user closing the window has to pick a button, but
    // a box without buttons, or a close from code, ends with NoButton.
    if (buttons().isEmpty() || !e->spontaneous()) {
        e->accept();
        QDialog::closeEvent(e);
    }
}

void AlertBox::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Cancel) && buttons().isEmpty()) {
        reject();
        return;
    }
    QMessageBox::keyPressEvent(e);
}

} // namespace Zentar::Util
