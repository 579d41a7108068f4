#include "cli/installationfacts.h"

#include <QDateTime>

#include <vector>
#include <QFile>
#include <QSysInfo>
#include <QtGlobal>

#include <pwd.h>
#include <unistd.h>

#include <thread>

namespace cli {

namespace {

std::string compiler()
{
#if defined(__clang__)
    return std::string("Clang ") + __clang_version__;
#elif defined(__GNUC__)
    return std::string("GCC ") + __VERSION__;
#else
    return "desconocido";
#endif
}

std::string qtVersion()
{
    std::string version = qVersion();
    if (version != QT_VERSION_STR)
        version += std::string(" (compilado con ") + QT_VERSION_STR + ")";
    return version;
}

std::string operatingSystem()
{
    return (QSysInfo::prettyProductName() + ", núcleo " + QSysInfo::kernelType() + " " + QSysInfo::kernelVersion())
        .toStdString();
}

std::string processor()
{
    QString model;
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!cpuinfo.atEnd()) {
            const QByteArray line = cpuinfo.readLine();
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).simplified();
                break;
            }
        }
    QString text = model.isEmpty() ? QSysInfo::currentCpuArchitecture() : model;
    text += QStringLiteral(" (%1, %2 procesadores lógicos)")
                .arg(QSysInfo::currentCpuArchitecture())
                .arg(std::thread::hardware_concurrency());
    return text.toStdString();
}

} // namespace

// The user does not change during a run: looked up once, with the reentrant
// call (getpwuid's static buffer would be shared by a batch run's workers).
std::string CurrentUserName()
{
    static const std::string user = [] {
        passwd entry{};
        passwd *found = nullptr;
        std::vector<char> buffer(16384);
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
            return "uid " + std::to_string(getuid());
        std::string name = found->pw_name;
        std::string full = found->pw_gecos ? found->pw_gecos : "";
        full = full.substr(0, full.find(','));
        if (!full.empty() && full != name)
            name += " (" + full + ")";
        return name;
    }();
    return user;
}

const char *ProgramVersion() { return LINEALIDAD_VERSION; }

InstallationFacts CurrentInstallationFacts()
{
    InstallationFacts facts;
    facts.programVersion = ProgramVersion();
    facts.sourceRevision = kSourceRevision;
    facts.buildDate = kBuildDate;
    facts.compiler = compiler();
    facts.qtVersion = qtVersion();
    facts.operatingSystem = operatingSystem();
    facts.processor = processor();
    facts.runDateTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t")).toStdString();
    facts.userName = CurrentUserName();
    return facts;
}

} // namespace cli
