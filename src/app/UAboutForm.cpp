#include "UAboutForm.h"

#include "Launchers.h"
#include "TForm1.h"
#include "WindowPlacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 413, ClientHeight = 572;
// Pictures of ImageList1: the external viewer's for the program, the mail's for "Support".
constexpr int ProgramPicture = 10, SupportPicture = 4;

QLabel* BoldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QPushButton* LinkButton(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setStyleSheet(QStringLiteral("color: blue;"));
  button->setCursor(Qt::PointingHandCursor);
  button->setAutoDefault(false);
  return button;
}

QString AboutText() {
  return QStringList{
      QStringLiteral("Lodestar shows the tag structure of TIFF files: the header, the chain of "
                     "image file directories and every tag entry with its position, type, count "
                     "and value."),
      QString(),
      QStringLiteral("Current support for more than 200 known tags."),
      QString(),
      QStringLiteral("The Batch tab lists chosen tags of every TIFF file in a directory tree as "
                     "CSV; the ascii editor corrects a text tag in place."),
      QString(),
      QStringLiteral("Usage of this program is at the users own risk."),
      QString(),
      QStringLiteral("Support: ") + QString::fromUtf8(lodestar::SupportMailAddress),
      QStringLiteral("Web: ") + QString::fromUtf8(lodestar::HomePageAddress),
  }
      .join(QLatin1Char('\n'));
}

} // namespace

TFrmAbout::TFrmAbout(TForm1* owner) : QDialog(owner), FOwner(owner) {
  setWindowTitle(QStringLiteral("About lodestar"));
  setFixedSize(ClientWidth, ClientHeight);
  auto* layout = new QVBoxLayout(this);

  Panel1 = new QFrame(this);
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setFrameShadow(QFrame::Raised);
  auto* grid = new QGridLayout(Panel1);
  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setFixedSize(64, 64);
  ProgramIcon->setScaledContents(true);
  ProgramIcon->setPixmap(owner->ImageList1.value(ProgramPicture).pixmap(16, 16));
  grid->addWidget(ProgramIcon, 0, 0, 3, 1, Qt::AlignTop);
  ProductName = BoldLabel(QStringLiteral("Product Name:"), Panel1);
  Label1 = new QLabel(QStringLiteral("Lodestar"), Panel1);
  Version = BoldLabel(QStringLiteral("Version:"), Panel1);
  Label2 = new QLabel(QStringLiteral("V5.3"), Panel1);
  grid->addWidget(ProductName, 0, 1);
  grid->addWidget(Label1, 0, 2);
  grid->addWidget(Version, 1, 1);
  grid->addWidget(Label2, 1, 2);
  SpeedButton1 = new QToolButton(Panel1);
  SpeedButton1->setText(QStringLiteral("Support"));
  SpeedButton1->setIcon(owner->ImageList1.value(SupportPicture));
  SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButton1->setAutoRaise(true);
  SpeedButton1->setCursor(Qt::WhatsThisCursor);
  QFont bold = SpeedButton1->font();
  bold.setBold(true);
  SpeedButton1->setFont(bold);
  grid->addWidget(SpeedButton1, 2, 1, 1, 2, Qt::AlignLeft);
  grid->setColumnStretch(2, 1);
  layout->addWidget(Panel1);

  // Not read-only: the text may be marked and copied; what is typed is gone with the box.
  Memo1 = new QPlainTextEdit(AboutText(), this);
  QFont memoFont(QStringLiteral("Arial"));
  memoFont.setBold(true);
  Memo1->setFont(memoFont);
  QPalette palette = Memo1->palette();
  palette.setColor(QPalette::Base, QColor(222, 222, 226));
  palette.setColor(QPalette::Text, QColor(0, 0, 128));
  Memo1->setPalette(palette);
  layout->addWidget(Memo1, 1);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setDefault(true);
  BitBtn1 = LinkButton(QString::fromUtf8(lodestar::MakerSiteAddress), this);
  BitBtn2 = LinkButton(QStringLiteral("Lodestar homepage"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  layout->addLayout(buttons);

  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(SpeedButton1, &QToolButton::clicked, this, &TFrmAbout::SpeedButton1Click);
  connect(BitBtn1, &QPushButton::clicked, this, &TFrmAbout::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TFrmAbout::BitBtn2Click);
}

void TFrmAbout::SpeedButton1Click() {
  FOwner->Guard([this] { FOwner->Emailsupport1Click(); });
}

void TFrmAbout::BitBtn1Click() {
  FOwner->Seams().ShellOpen(QString::fromUtf8(lodestar::MakerSiteAddress), {});
}

void TFrmAbout::BitBtn2Click() {
  FOwner->Seams().ShellOpen(QString::fromUtf8(lodestar::HomePageAddress), {});
}

void TFrmAbout::FitInto(const QRect& available) {
  // The frame the window manager adds is not known before the box is shown: a title bar and thin
  // borders are assumed, as for the main window.
  const int border = 4;
  const QSize frameExtra(2 * border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
  const QRect frame = PlaceCentred(QSize(ClientWidth, ClientHeight) + frameExtra, available);
  // Where the design's size does not fit (a scale factor of 2 on a laptop's screen), the text
  // gives up height and scrolls, so the links and OK stay on the screen.
  setFixedSize(frame.size() - frameExtra);
  move(frame.topLeft());
}

void TFrmAbout::showEvent(QShowEvent* event) {
  // Centred on the screen, not over the main window.
  if (const QScreen* shown = screen())
    FitInto(shown->availableGeometry());
  QDialog::showEvent(event);
}
