#pragma once
// Runs the program as a user runs a command without windows: no display
// at all (no DISPLAY, no Wayland, no platform chosen), its standard output,
// standard error and exit status.
#include <QProcess>
#include <QStringList>

#include <string>

struct ProcessRun {
    int status = -1;
    std::string out, err;
};

inline ProcessRun runLinealidad(const QStringList &args, const QString &locale = "C.UTF-8")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", locale);
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        env.remove(name);
    p.setProcessEnvironment(env);
    p.start(LINEALIDAD_BINARY, args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}
