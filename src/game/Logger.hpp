#pragma once

#include <string>

/// The game's line logger: one time-stamped, tagged line per call.
/// Levels 0-2 go to std::clog, 3-4 to std::cerr (after flushing std::clog).
namespace Logger {

void Log(int level, std::string message, bool debug);
void Verbose(std::string message);  // level 1, frame-by-frame tracing
void Debug(std::string message);    // level 2, marked debug
void Warning(std::string message);  // level 3: a problem the game works around
void Error(std::string message);    // level 4

void SetMinimumLevel(int level);
void SetDebug(bool on);

}  // namespace Logger
