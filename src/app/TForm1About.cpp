#include "TForm1.h"

// TODO: the about box, shown modally and freed when it closes.
void TForm1::Aboutlodestar1Click() {}
