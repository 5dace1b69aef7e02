#pragma once

namespace Zentar::EmailDialog
{

/// The dialog that asks the user for an e-mail address. Deleting it closes it.
class AbstractEmailDialog
{
public:
    virtual ~AbstractEmailDialog();
    /// Runs the dialog modally and returns once it is closed: true when the
    /// user registered an address.
    virtual bool Exec() = 0;
};

} // namespace Zentar::EmailDialog
