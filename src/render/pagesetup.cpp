#include "render/pagesetup.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <string>
#include <langinfo.h>

namespace render {

PageSetup PageSetup::of(const QPaintDevice &device)
{
    PageSetup page;
    page.size = QSizeF(device.width(), device.height());
    page.dpiX = device.logicalDpiX();
    page.dpiY = device.logicalDpiY();
    return page;
}

PageSetup DeviceIndependentPage(QPainter &painter, double unitsPerInch)
{
    const PageSetup device = PageSetup::of(*painter.device());
    painter.scale(device.dpiX / unitsPerInch, device.dpiY / unitsPerInch);
    PageSetup page;
    page.size = QSizeF(device.size.width() * unitsPerInch / device.dpiX,
                       device.size.height() * unitsPerInch / device.dpiY);
    page.dpiX = page.dpiY = unitsPerInch;
    return page;
}

QPageSize LocaleDefaultPageSize()
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
    }
#endif
    return QPageSize(QPageSize::A4);
}

} // namespace render
