#include "TForm1.h"
#include "UAboutForm.h"

// Created for each showing and freed when it closes, also when showing it fails.
void TForm1::Aboutlodestar1Click() {
  TFrmAbout about(this);
  FSeams->RunModal(about);
}
