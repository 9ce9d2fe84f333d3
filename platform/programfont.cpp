#include "platform/programfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <algorithm>

namespace
{

// Installed Latin faces drawn proportionally, those named "Sans" first, each
// group in the database's (alphabetical) order.
QStringList ProportionalFamilies()
{
    QStringList families;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (!QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            families << family;
    }
    std::stable_partition(families.begin(), families.end(), [](const QString& family) {
        return family.contains(QLatin1String("Sans"));
    });
    return families;
}

} // namespace

QFont ProgramFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    return ProportionalFont(font);
}

QFont ProportionalFont(QFont font)
{
    if (!QFontInfo(font).fixedPitch())
        return font;
    for (const QString& family : ProportionalFamilies()) {
        font.setFamilies({family});
        if (!QFontInfo(font).fixedPitch())
            return font;
    }
    return font;
}
