#pragma once

#include <QIcon>
#include <QList>

// The 33 pictures of 16 x 16 shared by the toolbar, the main menu and the actions, indexed as the
// window's composition expects (0 open, 5 print, 11/12 arrows, 13/14 greyed arrows, ...). Each
// icon carries its picture for the disabled state too: a disabled toolbar button keeps its
// picture and only stops responding.
QList<QIcon> MakeImageList1();

inline constexpr int ImageList1Count = 33;

// Pictures of the Batch tab's buttons; these grey out when disabled.
enum class TBatchGlyph { Folder, MoveUp, MoveDown, Sort, Save };
QIcon BatchGlyph(TBatchGlyph glyph);
