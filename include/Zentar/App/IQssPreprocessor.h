#pragma once

#include <Zentar/App/ZentarAppExport.h>

class QString;

namespace Zentar::App
{

/// A product's last edit of every composed stylesheet, run after the
/// placeholders were filled in.
/// Supplied by the product (LookAndFeelManager::SetQssPreprocessor); called on the
/// GUI thread.
class ZENTAR_APP_EXPORT IQssPreprocessor
{
public:
    virtual ~IQssPreprocessor() = default;
    /// Edits the stylesheet in place.
    virtual void Preprocess(QString& styleSheet) = 0;
};

} // namespace Zentar::App
