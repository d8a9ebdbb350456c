#pragma once

#include "TBatchHost.h"

#include <optional>
#include <string>
#include <string_view>

namespace lodestar {

class TTiffPage;

// The records of a run in the format its options name. Free of state, so a run may build them on
// any thread; the results are the same bytes wherever they are built.

// The header record; none in the ndjson format.
std::optional<std::string> HeaderRecord(const TRecordOptions& options);

// The record of one page. directoryPart ends with the path separator; name is the listed name.
void AppendPageRecord(std::string& record, const TRecordOptions& options,
                      std::string_view directoryPart, std::string_view name, int pageNumber,
                      const TTiffPage& page);

// The two cells "Check files" adds to a page's record: the verdict and the finding count.
void AppendCheckCells(std::string& record, const TRecordOptions& options, std::string_view verdict,
                      std::size_t findings);

// The value cells of a page for the ticked items, each with its leading separator, as the
// records and csv formats write them.
void AppendTagValues(std::string& record, const TTiffPage& page, const TRecordOptions& options);

} // namespace lodestar
