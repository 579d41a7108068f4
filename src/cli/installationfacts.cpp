#include "cli/installationfacts.h"

#include "cli/printrecord.h"

#include <cctype>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <string_view>
#include <sys/utsname.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// `text` without the blanks at its ends, each run of blanks inside as one space.
std::string simplified(std::string_view text)
{
    std::string words;
    bool blank = false;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !words.empty();
            continue;
        }
        if (blank)
            words += ' ';
        blank = false;
        words += c;
    }
    return words;
}

// The value of `key` in an os-release file, unquoted.
std::string releaseValue(const char *file, const std::string &key)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, key.size() + 1, key + "=") != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        std::string plain;
        for (size_t i = 0; i < value.size(); ++i)
            plain += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
        return plain;
    }
    return {};
}

std::string operatingSystem()
{
    utsname system{};
    uname(&system);
    std::string name = releaseValue("/etc/os-release", "PRETTY_NAME");
    if (name.empty())
        name = releaseValue("/usr/lib/os-release", "PRETTY_NAME");
    if (name.empty())
        name = std::string(system.sysname) + " " + system.release;
    std::string kernel = system.sysname;
    for (char &c : kernel)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ", núcleo " + kernel + " " + system.release;
}

// The processor's architecture by the names the verification has always used.
std::string architecture()
{
    utsname system{};
    uname(&system);
    const std::string machine = system.machine;
    if (machine == "aarch64")
        return "arm64";
    if (machine.compare(0, 4, "armv") == 0)
        return "arm";
    if (machine == "amd64")
        return "x86_64";
    if (machine.size() == 4 && machine[0] == 'i' && machine.compare(2, 2, "86") == 0)
        return "i386";
    return machine;
}

std::string processor()
{
    std::string model;
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.compare(0, 10, "model name") == 0) {
            model = simplified(line.substr(line.find(':') + 1));
            break;
        }
    const std::string architectureName = architecture();
    return (model.empty() ? architectureName : model) + " (" + architectureName + ", " +
           std::to_string(std::thread::hardware_concurrency()) + " procesadores lógicos)";
}

// "2026-12-06 20:05:31 CET": local time now, with its zone's abbreviation.
std::string localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = "";
    const std::lock_guard<std::mutex> lock(LocalTimeLock());
    if (localtime_r(&now, &local))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %Z", &local);
    return text;
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
    facts.operatingSystem = operatingSystem();
    facts.processor = processor();
    facts.runDateTime = localTimeNow();
    facts.userName = CurrentUserName();
    return facts;
}

} // namespace cli
