#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace app {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  auto* grid = new QGridLayout(this);
  auto* icon = new QLabel;
  icon->setPixmap(windowIcon().isNull()
                      ? style()->standardIcon(QStyle::SP_MediaVolume).pixmap(48, 48)
                      : windowIcon().pixmap(48, 48));
  grid->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
  auto* product = new QLabel("Chorvanta Song Editor");
  QFont bold = product->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  product->setFont(bold);
  grid->addWidget(product, 0, 1);
  grid->addWidget(new QLabel(QString("Version ") + CHORVANTA_VERSION), 1, 1);
  grid->addWidget(new QLabel("Times karaoke songs to their music, note by note."), 2, 1);
  grid->addWidget(new QLabel("Your songs stay plain text files, saved as you wrote them."), 3, 1);
  grid->addWidget(new QLabel(LicenceText), 4, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  grid->addWidget(buttons, 5, 0, 1, 2);
  setFixedSize(sizeHint());
}

} // namespace app
