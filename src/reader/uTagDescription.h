#pragma once

#include <cstdint>
#include <string>

namespace lodestar {

// The description of a tag number: the table's text, or "Unknown Tag      " (six trailing blanks)
// for every number the table does not hold. Never fails.
const std::string& TagDescription(std::int32_t tagNumber);

} // namespace lodestar
