#pragma once
// What a verification report says about the installation it ran on: the
// program and how it was built, the machine, who ran it and when.
#include <string>

namespace cli {

// From the build (generated at build time, see cmake/sourcerevision.cmake).
extern const char *const kSourceRevision;
extern const char *const kBuildDate;

struct InstallationFacts {
    std::string programVersion;
    std::string sourceRevision;
    std::string buildDate;
    std::string compiler;
    std::string operatingSystem;
    std::string processor;
    std::string runDateTime; // local time, with its zone
    std::string userName;
};

// The facts now, on this machine.
InstallationFacts CurrentInstallationFacts();

// Who runs the program: the login name, with the full name when the
// system has one ("ana (Ana Pérez)").
std::string CurrentUserName();

// The program's version, "1.0.0".
const char *ProgramVersion();

} // namespace cli
