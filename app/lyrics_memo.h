#pragma once
// The lyrics memo's text control. Qt's own paste reads the first format of the
// clipboard's data without looking whether there is one, and an empty clipboard
// crashed the program; what reaches the memo from the clipboard or a drop passes
// here first.
#include <QPlainTextEdit>

namespace app {

class TLyricsMemo : public QPlainTextEdit {
public:
  using QPlainTextEdit::QPlainTextEdit;

protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

} // namespace app
