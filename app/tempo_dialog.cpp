#include "app/tempo_dialog.h"

#include "support/number_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace app {
namespace {

QString Decimal(double value, int digits) {
  return QString::fromStdString(MyServis::FormatGeneral(value, digits, ','));
}

} // namespace

TTempoDialog::TTempoDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Detect Tempo");
  auto* column = new QVBoxLayout(this);
  Found = new QLabel(this);
  Found->setWordWrap(true);
  column->addWidget(Found);
  column->addWidget(new QLabel("BPM to use:", this));
  Choice = new QComboBox(this);
  column->addWidget(Choice);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Accept");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

void TTempoDialog::Show(const tempo::TTempoEstimate& estimate) {
  QString text = QString("Tempo: %1 BPM\nFirst beat: %2 ms\nConfidence: %3 %")
                     .arg(Decimal(estimate.Bpm, 6))
                     .arg(std::lround(estimate.GapMs))
                     .arg(std::lround(estimate.Confidence * 100));
  if (!estimate.Alternatives.empty())
    text += "\nThe music may also be counted at half or double this tempo.";
  Found->setText(text);
  Choice->clear();
  Choice->addItem(Decimal(estimate.Bpm, 6), estimate.Bpm);
  for (double bpm : estimate.Alternatives)
    Choice->addItem(Decimal(bpm, 6) + (bpm < estimate.Bpm ? " (half)" : " (double)"), bpm);
}

double TTempoDialog::ChosenBpm() const {
  return Choice->currentData().toDouble();
}

std::optional<double> AskTempo(QWidget* parent, const tempo::TTempoEstimate& estimate) {
  TTempoDialog dialog(parent);
  dialog.Show(estimate);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ChosenBpm();
}

} // namespace app
