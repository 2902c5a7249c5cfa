#pragma once
// The program's own settings: "settings.ctl" beside the program, holding the
// last song opened under "RecentSong" and the view's choices.
#include "support/control_files.h"

#include <memory>
#include <string>

namespace ProgramSettings {

// Opens "settings.ctl" in the folder given (the program's folder by default)
// with an empty password; the library's load failure when it cannot.
std::unique_ptr<ControlFiles2::TControlFile> OpenSettings(const std::string& folder);
std::unique_ptr<ControlFiles2::TControlFile> OpenSettings();

// Empty when the key is missing.
std::string RecentSong(ControlFiles2::TControlFile& settings);
// Stores the path and saves the file at once.
void StoreRecentSong(ControlFiles2::TControlFile& settings, const std::string& songPath);

// Whether the sung pitch is drawn over the notes: yes unless turned off.
bool ShowSungPitch(ControlFiles2::TControlFile& settings);
// Stores the choice and saves the file at once.
void StoreShowSungPitch(ControlFiles2::TControlFile& settings, bool show);

// Milliseconds added to the sound device's own delay; 0 when unset or not a number.
int AudioLatencyMs(ControlFiles2::TControlFile& settings);
void StoreAudioLatencyMs(ControlFiles2::TControlFile& settings, int milliseconds);

// The note view's zoom in percent: "ZoomPercent" across (25 to 800) and
// "RowZoomPercent" of the row height (50 to 400); 100 when unset or not a
// number, the nearest limit when outside.
int ZoomPercent(ControlFiles2::TControlFile& settings);
int RowZoomPercent(ControlFiles2::TControlFile& settings);
// Stores both and saves the file at once.
void StoreZoomPercent(ControlFiles2::TControlFile& settings, int zoomPercent, int rowZoomPercent);

// The folder the last new song was made in; empty when unset.
std::string NewSongLocation(ControlFiles2::TControlFile& settings);
void StoreNewSongLocation(ControlFiles2::TControlFile& settings, const std::string& folder);

// How many edits Undo reaches back: "UndoSteps", 1000 when unset or not a
// number, at least 1 and at most 1000000.
int UndoSteps(ControlFiles2::TControlFile& settings);

} // namespace ProgramSettings
