#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

class TTag;
class TTiffPage;

// A search item's number may name an entry inside a sub-directory by the pointer tags that lead
// to it: "34665/36867" is DateTimeOriginal in the page's Exif directory, "330/256" ImageWidth in
// its first SubIFD. A plain number names an entry of the page itself, as it always did.
bool IsTagPath(std::string_view number);

// True for digits, alone or as a path of digit groups joined by single '/'.
bool IsTagNumberOrPath(std::string_view number);

// The entries the number names in the page, in entry order; a path follows, at each step, the
// first sub-directory that the pointer tag leads to.
std::vector<const TTag*> EntriesAt(const TTiffPage& page, std::string_view number);
// The same with the path's tag numbers parsed once (TagPathSteps), appending to found.
void AppendEntriesAt(const TTiffPage& page, std::span<const std::uint16_t> steps,
                     std::vector<const TTag*>& found);
// The tag numbers of a path, one per '/'-separated part.
std::vector<std::uint16_t> TagPathSteps(std::string_view path);

// The item's default label: the description from the table of the directory the path ends in,
// without trailing blanks.
std::string PathDescription(std::string_view path);

} // namespace lodestar
