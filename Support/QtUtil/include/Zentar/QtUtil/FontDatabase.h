#pragma once

#include <QString>
#include <QStringList>

namespace Zentar::Util
{

/// Fonts that the running application registers from files (ordinary paths or
/// ":/" resource paths). Needs a QGuiApplication.
class FontDatabase
{
public:
    /// Registers one font file; returns its font id, or -1 when the file is
    /// missing or not a font (nothing else happens then).
    static int addApplicationFont(const QString& fileName);
    /// The families a registered font provides; empty for an unknown id.
    static QStringList applicationFontFamilies(int id);
};

} // namespace Zentar::Util
