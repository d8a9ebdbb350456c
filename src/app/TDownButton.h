#pragma once

#include <QToolButton>

// A toolbar button whose down state belongs to its click handler: a click only reports, it never
// toggles. The display base buttons tb10 and tb16 are of this kind.
class TDownButton : public QToolButton {
public:
  using QToolButton::QToolButton;

  bool Down() const { return isChecked(); }
  void SetDown(bool down) { setChecked(down); }

protected:
  void nextCheckState() override {}
};
