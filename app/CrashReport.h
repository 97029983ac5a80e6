// What a crash leaves behind: a small minidump and a short text in Data\Crashes\, so that a
// report from a user's machine names the fault and, with the build's .debug file, the code.
// The desk store is not touched: autosave has it on disk within seconds of every change.
#pragma once
#include <string>

namespace sona {

// How many reports (a .dmp and a .txt each) Data\Crashes\ keeps; the oldest go first.
const int kCrashReportsKept = 5;

// Catches every exception nothing else handles, from any thread. Everything the report needs
// that could fail after a crash (the folder, the names) is prepared here.
void InstallCrashReporter();

// The text report of a crash that has not been told to the user yet, or "" (UTF-8 path).
std::string UnreportedCrash();
// Forgets it: the user has been told.
void MarkCrashReported();

// The build's identity as a report names it: the link time stamp and the CRC of the .debug file
// that belongs to this exe, e.g. "6759a1c7-3e0f55aa".
std::string BuildId();

}  // namespace sona
