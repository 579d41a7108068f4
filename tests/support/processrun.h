#pragma once
// Runs the program as a user runs a command without windows: no display
// at all (no DISPLAY, no Wayland, no platform chosen), its standard output,
// standard error and exit status; and the files and tools around it.
#include <QProcess>
#include <QStringList>

#include <fstream>
#include <iterator>
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

// What a tool of the system (pdfinfo, pdftoppm, xprop) prints.
inline QString toolOutput(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A whole file's bytes ("" when it cannot be read), and a file written whole.
inline std::string fileBytes(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline QString writeBytes(const QString &path, const std::string &bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
}
