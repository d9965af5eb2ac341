#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>

#include "core/fixed_format.h"

namespace tw {

namespace {

// The data root as a full path: a relative --home is taken from the folder
// the program was started in.
QString FullPath(const std::filesystem::path& root) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(root, ec);
  if (ec) full = root;
  return QString::fromStdString(full.lexically_normal().string());
}

}  // namespace

constexpr int VERSION_MAJOR = 3;
constexpr int VERSION_MINOR = 7;

AboutDialog::AboutDialog(const std::filesystem::path& dataRoot, QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Tidewire");
  auto* layout = new QVBoxLayout(this);
  version_ = new QLabel(QString::fromStdString(
      FixedFormat("   Tidewire  - Version %d.%02d", VERSION_MAJOR, VERSION_MINOR)));
  version_->setObjectName("version");
  layout->addWidget(version_);
  layout->addWidget(new QLabel("Host program for the Veluna acoustic modem."));
  layout->addWidget(new QLabel("Terminal, link tests, file transfer, logging and emulator."));
  layout->addWidget(new QLabel("Logs are kept under the Tidewire data folder:"));
  dataRoot_ = new QLabel(FullPath(dataRoot));
  dataRoot_->setObjectName("dataRoot");
  dataRoot_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  dataRoot_->setTextFormat(Qt::PlainText);
  layout->addWidget(dataRoot_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString AboutDialog::versionLine() const { return version_->text(); }

QString AboutDialog::dataRootText() const { return dataRoot_->text(); }

void QtAppDialogs::ShowAbout(const std::filesystem::path& dataRoot) {
  AboutDialog about(dataRoot, parent_);
  about.exec();
}

}  // namespace tw
