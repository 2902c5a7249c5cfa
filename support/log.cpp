#include "support/log.h"

#include "support/file_io.h"
#include "support/message_boxes.h"
#include "support/runtime_errors.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sys/stat.h>

namespace MyServis {

TLogState LogState;

namespace {

std::int64_t UtcMillisecondsOfDay() {
  using namespace std::chrono;
  auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return now % (24LL * 3600 * 1000);
}

// The program file's modification time in the local short date and time form.
std::string ProgramFileTime() {
  struct stat st {};
  if (stat(ProgramFilePath().c_str(), &st) != 0) return "";
  std::tm local{};
  localtime_r(&st.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

void AppendLine(const std::string& line) {
  std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
  if (LogState.LogFileName.empty()) return;
  std::ofstream file(LogState.LogFileName, std::ios::binary | std::ios::app);
  file << line << "\r\n";
  file.close();
  if (!file) throw EInOutError("Can't write to log file '" + LogState.LogFileName + "'");
}

} // namespace

std::string FormatLogTime(std::int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000 % 24),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                static_cast<int>(ms % 1000));
  return text;
}

std::string LogLine(std::int64_t millisecondsOfDay, const std::string& message) {
  return FormatLogTime(millisecondsOfDay) + "  " + message;
}

void OpenLog(const std::string& fileName) {
  std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
  LogState.LogFileName = fileName;
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file << ProgramFileTime() << "\r\n";
  file.close();
  if (!file) LogState.LogFileName.clear();
}

void LogMessage(const std::string& message) {
  if (LogState.LogLevel == 0) return;
  AppendLine(LogLine(UtcMillisecondsOfDay(), message));
}

void LogChannelMessage(const std::string& message, std::uint8_t channel) {
  {
    std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
    if (LogState.LogLevel != 2) return;
    if (channel > 0 && !LogState.Channels.test(channel)) return;
  }
  std::string text = channel > 0 ? "[" + std::to_string(channel) + "] " + message : message;
  try {
    AppendLine(LogLine(UtcMillisecondsOfDay(), text));
  } catch (const std::exception& e) {
    ErrorBox(e.what());
  }
}

void SetLogChannel(std::uint8_t channel, bool on) {
  std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
  LogState.Channels.set(channel, on);
}

} // namespace MyServis
