#include "app/settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace app {

TSettingsDialog::TSettingsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Settings");
  auto* column = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Latency = new QSpinBox(this);
  Latency->setRange(0, LargestAudioLatencyMs);
  Latency->setSuffix(" ms");
  const QString hint = "Added to the delay the sound device reports, when the play cursor runs "
                       "ahead of what you hear";
  Latency->setToolTip(hint);
  form->addRow("Audio latency:", Latency);
  column->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

void TSettingsDialog::SetLatencyMs(int milliseconds) {
  Latency->setValue(milliseconds);
}

int TSettingsDialog::LatencyMs() const {
  return Latency->value();
}

std::optional<int> AskAudioLatency(QWidget* parent, int currentMs) {
  TSettingsDialog dialog(parent);
  dialog.SetLatencyMs(currentMs);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.LatencyMs();
}

} // namespace app
