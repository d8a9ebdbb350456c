#pragma once

#include <QIcon>
#include <QList>

// The 33 pictures of 16 x 16 shared by the toolbar, the main menu and the actions, indexed as the
// window's composition expects (0 open, 5 print, 11/12 arrows, 13/14 greyed arrows, ...). Each
// icon carries its picture for the disabled state too: a disabled toolbar button keeps its
// picture and only stops responding.
QList<QIcon> MakeImageList1();

inline constexpr int ImageList1Count = 33;

// The indices into ImageList1 that show anywhere; the others are kept for their numbering.
namespace ImageIndex {
inline constexpr int None = -1;
inline constexpr int Open = 0;
inline constexpr int SaveAs = 1;
inline constexpr int EmailSupport = 4;
inline constexpr int Print = 5;
inline constexpr int WebPage = 8;
inline constexpr int ExportPage = 9; // also "Batch split"
inline constexpr int Viewer = 10;
inline constexpr int PrevPage = 11;
inline constexpr int NextPage = 12;
inline constexpr int PrevPageDisabled = 13;
inline constexpr int NextPageDisabled = 14;
inline constexpr int Calculator = 18;
inline constexpr int Hex = 19;
inline constexpr int Dec = 20;
inline constexpr int MenuOpen = 24;
inline constexpr int About = 25;
inline constexpr int Exit = 26;
inline constexpr int SplitMultipage = 27;
inline constexpr int CombineMultipage = 28;
} // namespace ImageIndex

// Pictures of the Batch tab's buttons; these grey out when disabled.
enum class TBatchGlyph { Folder, MoveUp, MoveDown, Sort, Save };
QIcon BatchGlyph(TBatchGlyph glyph);
