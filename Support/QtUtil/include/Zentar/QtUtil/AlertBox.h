#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>

namespace Zentar::Util
{

/// The message box behind every modal message: exactly the standard buttons
/// given (none added), the title, a rich text (links allowed) and an icon
/// chosen by the level.
///
/// Exec() returns the standard button pressed (NoButton for a button that is
/// not a standard one). Escape and closing the window press the escape
/// button: the one set with setEscapeButton, else Cancel, else the only
/// button, else the single reject-role button, else the single no-role
/// button. With none of those the user has to choose a button, except on a
/// box without buttons, which Escape closes with NoButton; a close() from
/// code always ends the box, with NoButton when there is no escape button.
class AlertBox : public QMessageBox
{
    Q_OBJECT

public:
    /// How serious the message is; it picks the icon.
    enum Level { Information = 0, Warning = 1, Critical = 2, Question = 3 };

    /// A box with exactly `buttons`; `text` is rich text. `parent` owns the box when given; GUI thread only.
    AlertBox(Level level, const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
        QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    ~AlertBox() override;

    /// Runs the box modally.
    /// The standard button pressed, or NoButton as described above.
    virtual QMessageBox::StandardButton Exec();
    /// Shows the box and returns at once, application-modal when `modal` is
    /// true. The answer arrives through buttonClicked() and finished(); the
    /// caller keeps ownership.
    virtual void Show(bool modal);

    /// Fixes the box's width; the text wraps and the height follows. A width
    /// below what the buttons need is raised to it. 0 or less restores the
    /// automatic size.
    void SetWidth(int pixels);
    /// The width set with SetWidth; 0 for the automatic size.
    int GetWidth() const { return m_width; }

    /// Shows a "Learn more" link to `url` under the text, in the box's
    /// informative text; an empty url removes it.
    void SetLearnMoreLink(const QString& url);
    /// The "Learn more" URL; empty when there is none.
    QString GetLearnMoreLink() const { return m_learnMoreLink; }

    /// The level the box was made with.
    Level GetLevel() const;

protected:
    //!@{
    /// Qt's handlers, overridden so that Escape and closing the window press the escape button
    /// and the fixed width holds when the box is shown.
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    //!@}

private:
    void ApplyWidth();

    Level m_level;
    int m_width = 0;
    QString m_learnMoreLink;
    QPointer<QAbstractButton> m_pressed;
};

} // namespace Zentar::Util
