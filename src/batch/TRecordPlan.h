#pragma once

#include "TBatchHost.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

class TTag;
class TTiffPage;

// What building one file's records needs again and again, kept by each thread that builds them so
// that a file costs no allocation once the first few have been read.
struct TRecordScratch {
  std::string Cell;
  std::vector<const TTag*> Found;
};

// A run's record options compiled once: every ticked item's tag number parsed to the entries it
// matches, and its ndjson key, so a page's record is built by comparing numbers, with the text of
// only the entries asked for, written straight into the record. Immutable once built, so every
// worker of a run may share one.
class TRecordPlan {
public:
  explicit TRecordPlan(const TRecordOptions& options);

  const TRecordOptions& Options() const { return FOptions; }

  // The record of one page. directoryPart ends with the path separator; name is the listed name.
  void AppendPageRecord(std::string& record, std::string_view directoryPart, std::string_view name,
                        int pageNumber, const TTiffPage& page, TRecordScratch& scratch) const;

  // The value cells of a page for the ticked items, each with its leading separator, as the
  // records and csv formats write them.
  void AppendTagValues(std::string& record, const TTiffPage& page, TRecordScratch& scratch) const;

private:
  // What an item's number names. A number that no entry can carry (leading zeros, above 65535)
  // names nothing; an item without digits names the entries that carry no number.
  enum class TMatch : std::uint8_t { Code, Path, Unnumbered, Nothing };
  struct TColumn {
    TMatch Match = TMatch::Nothing;
    std::uint16_t Code = 0;
    std::vector<std::uint16_t> Steps; // a path's tag numbers
    std::string Key;                  // the ndjson member
  };

  // The entries of the page the column names, in entry order, into found.
  void Collect(const TColumn& column, const TTiffPage& page, std::vector<const TTag*>& found) const;
  void AppendJsonPage(std::string& record, std::string_view directoryPart, std::string_view name,
                      int pageNumber, const TTiffPage& page, TRecordScratch& scratch) const;

  TRecordOptions FOptions;
  std::vector<TColumn> FColumns;
};

} // namespace lodestar
