#pragma once
// Reviewed reference images of the graphs, kept in tests/data, and a
// comparison that forgives what font rasterizers may change: a drawing
// matches when at most 1 % of its pixels differ by more than a third of the
// grey scale.
#include <QImage>
#include <QString>

inline QString goldenImagePath(const QString &name) { return QStringLiteral(TEST_DATA_DIR "/") + name + ".png"; }

// The share of pixels that differ clearly; 1 when the sizes differ.
inline double clearlyDifferingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column)
            differing += qAbs(qGray(x.pixel(column, row)) - qGray(y.pixel(column, row))) > 85;
    return double(differing) / (double(x.width()) * x.height());
}

inline bool matchesGolden(const QImage &image, const QString &name, double *share = nullptr)
{
    const double s = clearlyDifferingShare(image, QImage(goldenImagePath(name)));
    if (share)
        *share = s;
    return s <= 0.01;
}
