#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/QtUtil/AlertBox.h>

#include <QObject>

#include <functional>
#include <map>
#include <memory>

namespace Zentar::App
{

/// Shows informational alert boxes whose text may carry links. Web links open
/// through QDesktopServices; e-mail links ("mailto:") are copied to the
/// clipboard instead, and a tool tip says so. The parent widget of each box is
/// asked from `parentProvider`, which also gives the Informer its own parent.
///
/// ExecDialog() runs a nested event loop. The product may call Close() or even
/// destroy the Informer from inside it; ExecDialog() still returns the button
/// pressed.
/// GUI thread only.
class ZENTAR_APP_EXPORT Informer : public QObject
{
    Q_OBJECT

public:
    /// An informer whose boxes are parented by what `parentProvider` gives (it may give null);
    /// its Qt parent is what the provider gives now.
    explicit Informer(const std::function<QWidget*()>& parentProvider = {});
    ~Informer() override;

    /// Shows a box with the standard buttons that are the keys of `buttons`;
    /// a non-empty value replaces that button's text. An empty `iconPath`
    /// means the library's own information icon. Returns the button pressed.
    /// `learnMoreLink`, when not empty, shows a "Learn more" link.
    QMessageBox::StandardButtons ExecDialog(const QString& text, const QString& learnMoreLink,
        const QString& iconPath, Zentar::Util::AlertBox::Level level,
        const std::map<QMessageBox::StandardButton, QString>& buttons);

    /// Closes the box being shown, as its window's close button would, and
    /// tells whether it closed. True when no box is shown.
    bool Close();

private Q_SLOTS:
    void OnDialogLinkActivated(const QString& link);

private:
    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
