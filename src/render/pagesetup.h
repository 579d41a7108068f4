#pragma once
// A printed page as the drawing sees it: the printable area in device pixels
// and the device's resolution. The page layouts were laid out in the pixels of
// a 600 dpi printer; they are scaled to the device so that a page looks the
// same in inches on any printer, an image or a PDF.
#include <QPageSize>
#include <QSizeF>

class QPaintDevice;
class QPainter;

namespace render {

struct PageSetup {
    QSizeF size;        // printable area, device pixels
    double dpiX = 600.0;
    double dpiY = 600.0;

    static PageSetup of(const QPaintDevice &device);

    static constexpr double kDesignDpi = 600.0;
    // Pixels of the 600 dpi design, on this device.
    double designX(double pixels) const { return pixels * dpiX / kDesignDpi; }
    double designY(double pixels) const { return pixels * dpiY / kDesignDpi; }
    // A pen of one design pixel.
    double hairline() const { return designY(1.0); }

    // Points of a font, in pixels of this page.
    double fromPoints(double points) const { return points * dpiY / 72.0; }
};

// Sets the painter to draw in units of 1/`unitsPerInch` inch on its device
// and returns the page in those units. The toolkit sizes fonts in whole
// pixels: on a fine grid of the same size on every device, a text is
// equally wide in inches whatever the device's resolution.
PageSetup DeviceIndependentPage(QPainter &painter, double unitsPerInch = 7200.0);

} // namespace render
