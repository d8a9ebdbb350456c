#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TForm1;

// The about box: program name and version, the about text and three links. Fixed size, centred
// on the screen, and cut to the screen's free area where it does not fit; the links leave it
// open.
class TFrmAbout : public QDialog {
public:
  explicit TFrmAbout(TForm1* owner);

  // The same support mail as the main window's "Email support".
  void SpeedButton1Click();
  // The maker's site.
  void BitBtn1Click();
  // The home page.
  void BitBtn2Click();
  // Takes the design's size centred on available, or as much of it as the area has.
  void FitInto(const QRect& available);

  QFrame* Panel1 = nullptr;
  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;       // "Product Name:"
  QLabel* Label1 = nullptr;            // the product's name
  QLabel* Version = nullptr;           // "Version:"
  QLabel* Label2 = nullptr;            // the version text
  QToolButton* SpeedButton1 = nullptr; // "Support"
  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* BitBtn1 = nullptr; // the maker's site
  QPushButton* BitBtn2 = nullptr; // "Lodestar homepage"

protected:
  void showEvent(QShowEvent* event) override;

private:
  TForm1* FOwner;
};
