#pragma once
// Screenshots for looking at the windows: written only when LINEALIDAD_SHOTS
// names a directory.
#include <QDir>
#include <QWidget>

inline void saveShot(QWidget *widget, const QString &name)
{
    const QString directory = qEnvironmentVariable("LINEALIDAD_SHOTS");
    if (directory.isEmpty())
        return;
    QDir().mkpath(directory);
    widget->grab().save(QDir(directory).filePath(name + QStringLiteral(".png")));
}
