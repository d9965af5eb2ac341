#include "firmware/LoadExecutableDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "firmware/firmware_download.h"

namespace tw {

LoadExecutableDialog::LoadExecutableDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(LOAD_EXECUTABLE_CAPTION);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel;
  icon->setObjectName("icon");
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size, size));
  row->addWidget(icon, 0, Qt::AlignTop);
  text_ = new QLabel(LOAD_EXECUTABLE_TEXT);
  text_->setObjectName("text");
  text_->setWordWrap(true);
  row->addWidget(text_, 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString LoadExecutableDialog::text() const { return text_->text(); }

}  // namespace tw
