#pragma once

#include "TiffTypes.h"

#include <cstdint>
#include <string>

namespace lodestar {

// The description of a tag number: the table's text, or "Unknown Tag      " (six trailing blanks)
// for every number the table does not hold. Never fails.
const std::string& TagDescription(std::int32_t tagNumber);

// The description of a tag number in a directory of that kind: Exif, GPS and Interoperability
// directories have tables of their own (with the same text for unknown numbers), every other kind
// the main table.
const std::string& TagDescription(TDirectoryKind kind, std::uint16_t code);

} // namespace lodestar
