#pragma once

#include "TBatchHost.h"

#include <optional>
#include <string>
#include <string_view>

namespace lodestar {

class TTiffPage;

// The records of a run in the format its options name. Free of state, so a run may build them on
// any thread; the results are the same bytes wherever they are built. A run builds its pages'
// records with a TRecordPlan compiled once; the functions here compile one for each call.

// A cell: the text in quotes, a quote in it doubled in the csv format.
void AppendCell(std::string& record, std::string_view text, TRecordFormat format);
// A cell's text without its quotes, so a cell may be written in parts.
void AppendCellText(std::string& record, std::string_view text, TRecordFormat format);

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
