#pragma once
// "Detect Tempo": the tempo and first beat found in the music, offered for the
// song's BPM and gap, with the half or double tempo when the music allows it.
#include "audio/tempo_detector.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;

namespace app {

class TTempoDialog : public QDialog {
  Q_OBJECT
public:
  explicit TTempoDialog(QWidget* parent = nullptr);
  void Show(const tempo::TTempoEstimate& estimate);
  // The tempo chosen among the estimate and its alternatives.
  double ChosenBpm() const;

private:
  QLabel* Found;
  QComboBox* Choice;
};

// Runs the dialog; the tempo chosen, or nothing when cancelled.
std::optional<double> AskTempo(QWidget* parent, const tempo::TTempoEstimate& estimate);

} // namespace app
