#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/cformat.h"

namespace tw {

constexpr int VERSION_MAJOR = 3;
constexpr int VERSION_MINOR = 7;

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Tidewire");
  auto* layout = new QVBoxLayout(this);
  version_ = new QLabel(QString::fromStdString(
      cformat("   Tidewire  - Version %d.%02d", VERSION_MAJOR, VERSION_MINOR)));
  version_->setObjectName("version");
  layout->addWidget(version_);
  layout->addWidget(new QLabel("Host program for the Veluna acoustic modem."));
  layout->addWidget(new QLabel("Terminal, link tests, file transfer, logging and emulator."));
  layout->addWidget(new QLabel("Logs are kept under the Tidewire data folder."));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString AboutDialog::versionLine() const { return version_->text(); }

}  // namespace tw
