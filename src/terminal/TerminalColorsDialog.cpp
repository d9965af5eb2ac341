#include "terminal/TerminalColorsDialog.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {

QIcon Swatch(const QColor& color) {
  QPixmap swatch(16, 16);
  swatch.fill(color);
  return QIcon(swatch);
}

// The sample line in the colours as they stand.
void ShowSample(QLabel* sample, const QColor& text, const QColor& back) {
  QPalette palette = sample->palette();
  palette.setColor(QPalette::Window, back);
  palette.setColor(QPalette::WindowText, text);
  sample->setPalette(palette);
}

}  // namespace

QIcon ColorsSwatch(const QColor& text, const QColor& back) {
  QPixmap swatch(16, 16);
  swatch.fill(back);
  QPainter painter(&swatch);
  painter.fillRect(4, 4, 8, 8, text);
  return QIcon(swatch);
}

bool ChooseTerminalColors(QWidget* parent, const QFont& font, QColor& text, QColor& back) {
  QDialog dialog(parent);
  dialog.setObjectName("colors");
  dialog.setWindowTitle(QObject::tr("Colors"));
  // Edited here; handed back only on OK.
  QColor chosenText = text, chosenBack = back;

  auto* sample = new QLabel(QObject::tr("[12:00:00] Text on its background"), &dialog);
  sample->setObjectName("sample");
  sample->setFont(font);
  sample->setAutoFillBackground(true);
  sample->setMargin(8);
  ShowSample(sample, chosenText, chosenBack);

  // A button that opens the colour picker on `color` and shows its swatch.
  auto pick = [&dialog, sample, &chosenText, &chosenBack](const QString& caption, const char* name,
                                                          const QString& title, QColor& color) {
    auto* button = new QPushButton(caption, &dialog);
    button->setObjectName(name);
    button->setIcon(Swatch(color));
    QObject::connect(button, &QPushButton::clicked, &dialog,
                     [&dialog, button, sample, title, &color, &chosenText, &chosenBack] {
                       const QColor picked = QColorDialog::getColor(color, &dialog, title);
                       if (!picked.isValid()) return;  // the picker was cancelled
                       color = picked;
                       button->setIcon(Swatch(color));
                       ShowSample(sample, chosenText, chosenBack);
                     });
    return button;
  };
  QPushButton* textButton =
      pick(QObject::tr("&Text..."), "text", QObject::tr("Text Color"), chosenText);
  QPushButton* backButton = pick(QObject::tr("&Background..."), "background",
                                 QObject::tr("Background Color"), chosenBack);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->setObjectName("buttons");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  auto* choices = new QHBoxLayout;
  choices->addWidget(textButton);
  choices->addWidget(backButton);
  choices->addStretch();
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(sample);
  layout->addLayout(choices);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  text = chosenText;
  back = chosenBack;
  return true;
}

}  // namespace tw
