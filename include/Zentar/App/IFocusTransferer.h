#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QObject>

namespace Zentar::App
{

/// Something that can hand the input focus back to the process that started
/// this one.
class ZENTAR_APP_EXPORT IFocusTransferer
{
public:
    virtual ~IFocusTransferer();
    /// Hands the focus back; nothing happens when there is no parent to hand it to.
    virtual void GiveFocusToParent() = 0;
};

} // namespace Zentar::App

Q_DECLARE_INTERFACE(Zentar::App::IFocusTransferer, "IFocusTransferer")
