#include "render/page.h"

#include <QLocale>
#include <QMarginsF>

#include <clocale>
#include <cstdint>
#include <langinfo.h>
#include <string>

namespace render {

QPageSize LocalePageSize()
{
#ifdef _NL_PAPER_WIDTH
    // glibc gives the paper of LC_PAPER in millimetres, whatever the
    // program's own locale is set to.
    const char *previous = std::setlocale(LC_PAPER, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_PAPER, "");
    const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    const auto height = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_HEIGHT)));
    std::setlocale(LC_PAPER, saved.c_str());
    if (width > 0 && height > 0) {
        const QPageSize::PageSizeId id =
            QPageSize::id(QSizeF(width, height), QPageSize::Millimeter, QPageSize::FuzzyMatch);
        if (id != QPageSize::Custom)
            return QPageSize(id);
        return QPageSize(QSizeF(width, height), QPageSize::Millimeter);
    }
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
