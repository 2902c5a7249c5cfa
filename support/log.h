#pragma once
// The log "main.log": one time-stamped line per message, the file opened and
// closed for every line so that it is complete on disk at every moment.
// Shared by every thread: LogLock serialises all access to the log state.
#include <bitset>
#include <cstdint>
#include <mutex>
#include <string>

namespace MyServis {

struct TLogState {
  std::uint8_t LogLevel = 1; // 0: nothing, 1: LogMessage, 2: LogChannelMessage too
  std::string LogFileName;   // empty: no logging
  std::bitset<256> Channels; // switched-on channel numbers
  std::recursive_mutex LogLock;
};

extern TLogState LogState;

// Starts a new log: the file is truncated and begins with the program's build time.
void OpenLog(const std::string& fileName);
// Throws when the line cannot be written.
void LogMessage(const std::string& message);
// Reports a write failure with ErrorBox instead of throwing.
void LogChannelMessage(const std::string& message, std::uint8_t channel);
void SetLogChannel(std::uint8_t channel, bool on);

// "HH:MM:SS.mmm" of a time of day given in milliseconds since midnight.
std::string FormatLogTime(std::int64_t millisecondsOfDay);
// The line as written, without its CR LF.
std::string LogLine(std::int64_t millisecondsOfDay, const std::string& message);

} // namespace MyServis
