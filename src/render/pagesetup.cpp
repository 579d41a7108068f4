#include "render/pagesetup.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

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


} // namespace render
