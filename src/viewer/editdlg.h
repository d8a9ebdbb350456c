#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The ascii tag editor: one value's text over a column ruler, written back by the caller when the
// window closes with "Write to file" after a change.
class TEditForm : public QDialog {
public:
  // openHomePage runs when the address at the top is clicked.
  TEditForm(QWidget* owner, std::function<void()> openHomePage);

  // Puts the listed value into Edit1, shown up to its first NUL; at most valueLength characters
  // (the value's count, NUL included) may be typed.
  void SetValue(const QString& value, int valueLength);

  QPushButton* Panel3 = nullptr; // the home page link
  QLabel* Label1 = nullptr;      // the ruler: column k stands over character k of Edit1
  QLineEdit* Edit1 = nullptr;
  QPushButton* BitBtn1 = nullptr; // "Write to file"
  QPushButton* BitBtn2 = nullptr; // "Cancel editing"
  QLabel* Label2 = nullptr;       // the warning

private:
  void AlignRuler();
};
