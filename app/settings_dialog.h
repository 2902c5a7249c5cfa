#pragma once
// "Settings": the audio latency added to what the sound device reports, for a
// device whose report falls short and leaves the cursor ahead of the sound.
#include <QDialog>
#include <optional>

class QSpinBox;

namespace app {

constexpr int LargestAudioLatencyMs = 1000;

class TSettingsDialog : public QDialog {
  Q_OBJECT
public:
  explicit TSettingsDialog(QWidget* parent = nullptr);
  void SetLatencyMs(int milliseconds);
  int LatencyMs() const;

private:
  QSpinBox* Latency;
};

// Runs the dialog; the latency chosen, or nothing when cancelled.
std::optional<int> AskAudioLatency(QWidget* parent, int currentMs);

} // namespace app
