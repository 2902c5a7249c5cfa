#include "support/program_settings.h"

#include "support/number_text.h"
#include "support/program_files.h"

#include <algorithm>
#include <cstdint>

namespace ProgramSettings {
namespace {

int BoundedSetting(ControlFiles2::TControlFile& settings, const char* key, int unset, int least,
                   int most) {
  std::int32_t value = unset;
  if (!MyServis::TryParseInt32(settings.GetStringDef(key, std::to_string(unset)), value))
    return unset;
  return std::clamp(value, least, most);
}

int PercentSetting(ControlFiles2::TControlFile& settings, const char* key, int least, int most) {
  return BoundedSetting(settings, key, 100, least, most);
}

} // namespace

std::unique_ptr<ControlFiles2::TControlFile> OpenSettings(const std::string& folder) {
  return std::make_unique<ControlFiles2::TControlFile>(folder + "/settings.ctl", "");
}

std::unique_ptr<ControlFiles2::TControlFile> OpenSettings() {
  return OpenSettings(MyServis::SettingsFolder());
}

std::string RecentSong(ControlFiles2::TControlFile& settings) {
  return settings.GetStringDef("RecentSong", "");
}

void StoreRecentSong(ControlFiles2::TControlFile& settings, const std::string& songPath) {
  settings.SetString("RecentSong", songPath);
  settings.Save();
}

bool ShowSungPitch(ControlFiles2::TControlFile& settings) {
  return settings.GetStringDef("ShowSungPitch", "1") != "0";
}

void StoreShowSungPitch(ControlFiles2::TControlFile& settings, bool show) {
  settings.SetString("ShowSungPitch", show ? "1" : "0");
  settings.Save();
}

int AudioLatencyMs(ControlFiles2::TControlFile& settings) {
  std::int32_t value = 0;
  const std::string text = settings.GetStringDef("AudioLatency", "0");
  return MyServis::TryParseInt32(text, value) && value >= 0 ? value : 0;
}

void StoreAudioLatencyMs(ControlFiles2::TControlFile& settings, int milliseconds) {
  settings.SetString("AudioLatency", std::to_string(milliseconds));
  settings.Save();
}

int ZoomPercent(ControlFiles2::TControlFile& settings) {
  return PercentSetting(settings, "ZoomPercent", 25, 800);
}

int RowZoomPercent(ControlFiles2::TControlFile& settings) {
  return PercentSetting(settings, "RowZoomPercent", 50, 400);
}

void StoreZoomPercent(ControlFiles2::TControlFile& settings, int zoomPercent, int rowZoomPercent) {
  settings.SetString("ZoomPercent", std::to_string(zoomPercent));
  settings.SetString("RowZoomPercent", std::to_string(rowZoomPercent));
  settings.Save();
}

std::string NewSongLocation(ControlFiles2::TControlFile& settings) {
  return settings.GetStringDef("NewSongLocation", "");
}

void StoreNewSongLocation(ControlFiles2::TControlFile& settings, const std::string& folder) {
  settings.SetString("NewSongLocation", folder);
  settings.Save();
}

int UndoSteps(ControlFiles2::TControlFile& settings) {
  return BoundedSetting(settings, "UndoSteps", 1000, 1, 1000000);
}

} // namespace ProgramSettings
