#include "render/page.h"

#include <QLocale>
#include <QMarginsF>

#include <clocale>
#include <cstdint>
#include <langinfo.h>

namespace render {

QPageSize LocalePageSize()
{
#ifdef _NL_PAPER_WIDTH
    // QCoreApplication has set the C library's locale from the environment.
    const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    const auto height = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_HEIGHT)));
    if (width > 0 && height > 0)
        return QPageSize(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
#endif
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                        : QPageSize::A4);
}

QPageLayout DefaultPageLayout(QPageLayout::Orientation orientation)
{
    const double quarterInch = 6.35;
    return QPageLayout(LocalePageSize(), orientation, QMarginsF(quarterInch, quarterInch, quarterInch, quarterInch),
                       QPageLayout::Millimeter);
}

} // namespace render
