#include "editdlg.h"

#include "Launchers.h"
#include "TAsciiEdit.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr const char* Ruler =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
// QLineEdit's own gap between its contents rectangle and the first character.
constexpr int LineEditTextMargin = 2;

// Every typed character must become exactly one byte of the file, so characters that
// Windows-1252 cannot hold are refused as they are typed or pasted.
class TCodePageValidator : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return lodestar::FitsCodePage(input.toStdU16String()) ? Acceptable : Invalid;
  }
};

// "Courier New" where it is installed, else the system's fixed-pitch font; 11 pixels high at 96
// dots per inch. The ruler and the field must use this same font or the columns drift apart.
QFont RulerFont(const QWidget* widget) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamilies({QStringLiteral("Courier New"), font.family()});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(qMax(11, qRound(11 * widget->logicalDpiY() / 96.0)));
  return font;
}

} // namespace

TEditForm::TEditForm(QWidget* owner, std::function<void()> openHomePage) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Lodestar ascii editor: Use at own risk...."));
  auto* layout = new QVBoxLayout(this);

  Panel3 = new QPushButton(QString::fromUtf8(lodestar::HomePageAddress), this);
  Panel3->setFlat(true);
  Panel3->setCursor(Qt::PointingHandCursor);
  Panel3->setToolTip(QStringLiteral("Visit my homepage"));
  Panel3->setStyleSheet(QStringLiteral("color: blue;"));
  Panel3->setAutoDefault(false);
  // A panel takes no focus: typing goes to the text from the start.
  Panel3->setFocusPolicy(Qt::NoFocus);
  connect(Panel3, &QPushButton::clicked, this, [openHomePage] { openHomePage(); });
  layout->addWidget(Panel3);

  const QFont font = RulerFont(this);
  Label1 = new QLabel(QString::fromLatin1(Ruler), this);
  Label1->setFont(font);
  Label1->setTextFormat(Qt::PlainText);
  Edit1 = new QLineEdit(this);
  Edit1->setFont(font);
  Edit1->setValidator(new TCodePageValidator(Edit1));
  AlignRuler();
  Edit1->setFocus();
  layout->addWidget(Label1);
  layout->addWidget(Edit1);
  layout->setSpacing(2);

  auto* buttons = new QHBoxLayout;
  BitBtn1 = new QPushButton(QStringLiteral("Write to file"), this);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel editing"), this);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  layout->addSpacing(6);
  layout->addLayout(buttons);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  auto* panelLayout = new QVBoxLayout(panel);
  Label2 = new QLabel(QStringLiteral("Edited ascii text are truncated or extended to the previous "
                                     "length of the data. NO-UNDO possible "),
                      panel);
  Label2->setWordWrap(true);
  panelLayout->addWidget(Label2);
  layout->addWidget(panel);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEditForm::SetValue(const QString& value, int valueLength) {
  Edit1->setMaxLength(valueLength);
  Edit1->setText(value.left(value.indexOf(QChar(u'\0'))));
  Edit1->setModified(false);
}

void TEditForm::AlignRuler() {
  // The ruler starts where the field's first character starts, and the field is as wide as the
  // ruler, so the digits stand over the character cells.
  QStyleOptionFrame option;
  option.initFrom(Edit1);
  option.lineWidth = Edit1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, Edit1);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  option.features = QStyleOptionFrame::None;
  const QRect contents =
      Edit1->style()->subElementRect(QStyle::SE_LineEditContents, &option, Edit1);
  const QMargins margins = Edit1->textMargins();
  const int left = contents.left() + margins.left() + LineEditTextMargin;
  const int right = (Edit1->width() - contents.right() - 1) + margins.right() + LineEditTextMargin;
  const int rulerWidth = Label1->fontMetrics().horizontalAdvance(QString::fromLatin1(Ruler));
  Label1->setContentsMargins(left, 0, 0, 0);
  Edit1->setFixedWidth(left + rulerWidth + right + 1);
  Label1->setFixedWidth(Edit1->width());
}
