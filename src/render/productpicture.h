#pragma once
// The program's picture, shown by the splash window and the about box: a
// calibration line through replicate points on a pair of axes, drawn here so
// that it scales to any size without an image file.
#include <QPixmap>

namespace render {

QPixmap ProductPicture(const QSize &size);

} // namespace render
