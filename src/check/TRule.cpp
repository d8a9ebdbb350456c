#include "TRule.h"

#include <algorithm>
#include <array>

namespace lodestar::check {
namespace {

using enum TSeverity;

// IDs are stable: reports, scripts and --ignore lists name them. Add rules, never renumber.
constexpr std::array<TRule, 44> Table = {{
    {"HDR-ORDER", Fatal, "The file starts with the byte-order mark \"II\" or \"MM\"",
     "TIFF 6.0, Section 2: Image File Header"},
    {"HDR-VERSION", Fatal, "The version number is 42 (or 43 for BigTIFF, with offset size 8)",
     "TIFF 6.0, Section 2: Image File Header; BigTIFF file format"},
    {"HDR-OFFSET", Fatal, "The first directory lies inside the file and not inside the header",
     "TIFF 6.0, Section 2: Image File Header"},
    {"IFD-NONE", Fatal, "The file has at least one directory",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-OUTSIDE", Fatal,
     "A directory's entry table and next-directory offset lie inside the file",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-NEXT", Fatal,
     "A next-directory offset is 0 or names a position inside the file, past the header",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-LOOP", Fatal, "No directory is reached twice",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-EMPTY", Error, "A directory has at least one entry",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-ALIGN", Error, "A directory starts on a word boundary (an even offset)",
     "TIFF 6.0, Section 2: Image File Header"},
    {"IFD-ORDER", Error, "Entries are sorted in ascending order of tag",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-DUPLICATE", Error, "No tag appears twice in one directory",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"IFD-OVERLAP", Error, "Directories do not share bytes with each other",
     "TIFF 6.0, Section 2: Image File Directory"},
    {"ENT-TYPE", Error, "An entry's field type is one the format defines",
     "TIFF 6.0, Section 2: Types; BigTIFF file format; TIFF Technical Note 1 (type IFD)"},
    {"ENT-COUNT", Error, "An entry's count is above 0", "TIFF 6.0, Section 2: Count"},
    {"ENT-OUTSIDE", Fatal, "A value that does not fit in the entry lies inside the file",
     "TIFF 6.0, Section 2: Value Offset"},
    {"ENT-ALIGN", Error, "A value offset is on a word boundary (even)",
     "TIFF 6.0, Section 2: Value Offset"},
    {"ENT-HEADER", Error, "A value offset does not point into the header",
     "TIFF 6.0, Section 2: Value Offset"},
    {"ENT-OVERLAP", Error, "Values do not share bytes with each other or with a directory",
     "TIFF 6.0, Section 2: Value Offset"},
    {"ENT-ASCII-NUL", Error, "An Ascii value ends with a NUL byte", "TIFF 6.0, Section 2: Types"},
    {"ENT-RATIONAL-ZERO", Error, "No Rational or SRational has a zero denominator",
     "TIFF 6.0, Section 2: Types"},
    {"TAG-TYPE", Error, "A known tag has one of the field types defined for it",
     "TIFF 6.0, Section 8: Baseline Field Reference; Sections 10-23; Exif 2.3, Section 4.6"},
    {"TAG-COUNT", Error, "A known tag has the count defined for it",
     "TIFF 6.0, Section 8: Baseline Field Reference; Sections 10-23; Exif 2.3, Section 4.6"},
    {"TAG-VALUE", Error,
     "An enumerated value is one of those defined (Compression, PhotometricInterpretation, "
     "ResolutionUnit, Orientation, PlanarConfiguration, FillOrder, NewSubfileType bits, ...)",
     "TIFF 6.0, Section 8: Baseline Field Reference"},
    {"TAG-REQUIRED", Error, "The tags the image's class requires are present",
     "TIFF 6.0, Sections 3-6: Bilevel, Grayscale, Palette-color and RGB images; Sections 16, 21, "
     "23: CMYK, YCbCr and CIELab images"},
    {"TAG-COLORMAP", Error, "ColorMap is present only in palette-colour images",
     "TIFF 6.0, Section 5: Palette-color Images"},
    {"TAG-SAMPLES", Error, "SamplesPerPixel, less ExtraSamples, fits PhotometricInterpretation",
     "TIFF 6.0, Section 7: ExtraSamples; Sections 4-6"},
    {"TAG-DATETIME", Error, "A date and time reads \"YYYY:MM:DD HH:MM:SS\" (20 bytes with the NUL)",
     "TIFF 6.0, Section 8: DateTime; Exif 2.3, Section 4.6.5"},
    {"IMG-DATA", Error,
     "The image has StripOffsets and StripByteCounts, or TileOffsets and "
     "TileByteCounts, each with its partner",
     "TIFF 6.0, Section 3: Required Fields; Section 15: Tiled Images"},
    {"IMG-STRIPS-AND-TILES", Error, "An image has strips or tiles, not both",
     "TIFF 6.0, Section 15: Tiled Images"},
    {"IMG-STRIP-COUNT", Error,
     "StripOffsets and StripByteCounts have one value per strip the image needs",
     "TIFF 6.0, Section 3: StripOffsets; Section 7: RowsPerStrip, PlanarConfiguration"},
    {"IMG-TILE-SIZE", Error, "TileWidth and TileLength are multiples of 16",
     "TIFF 6.0, Section 15: TileWidth, TileLength"},
    {"IMG-TILE-COUNT", Error,
     "TileOffsets and TileByteCounts have one value per tile the image needs",
     "TIFF 6.0, Section 15: TileOffsets"},
    {"IMG-OUTSIDE", Fatal, "Every strip or tile lies inside the file",
     "TIFF 6.0, Section 3: StripOffsets; Section 15: TileOffsets"},
    {"IMG-OVERLAP", Error,
     "Strips and tiles do not share bytes with each other or with a directory",
     "TIFF 6.0, Section 2: Value Offset; Section 3: StripOffsets"},
    {"SUB-TYPE", Error,
     "A sub-directory pointer (SubIFDs, Exif, GPS, Interoperability) is of "
     "type Long or IFD",
     "TIFF Technical Note 1; Exif 2.3, Section 4.6.3"},
    {"SUB-ZERO", Error, "A sub-directory pointer is not 0",
     "TIFF Technical Note 1; Exif 2.3, Section 4.6.3"},
    {"GEO-TYPE", Error,
     "GeoKeyDirectory is of type Short, GeoDoubleParams Double and GeoAsciiParams Ascii",
     "GeoTIFF 1.1 (OGC 19-008r4), 7.1.2, 7.1.5, 7.1.6"},
    {"GEO-HEADER", Error,
     "The key directory's header reads version 1, revision 1.0 or 1.1, and the number of keys "
     "fits the tag's values",
     "GeoTIFF 1.1 (OGC 19-008r4), 7.1.2: Requirements Class GeoKeyDirectoryTag"},
    {"GEO-ORDER", Error, "GeoKeys are sorted in ascending order of key ID, each once",
     "GeoTIFF 1.1 (OGC 19-008r4), 7.1.2: Requirements Class GeoKeyDirectoryTag"},
    {"GEO-LOCATION", Error,
     "A key's location is 0 (with count 1) or a GeoTIFF tag the directory holds",
     "GeoTIFF 1.1 (OGC 19-008r4), 7.1.2, 7.1.4-7.1.6"},
    {"GEO-SLICE", Error, "A key's values lie inside the tag that holds them (doubles, characters)",
     "GeoTIFF 1.1 (OGC 19-008r4), 7.1.5: GeoDoubleParamsTag; 7.1.6: GeoAsciiParamsTag"},
    {"ADV-OLD-JPEG", Warning, "Compression 6, the old-style JPEG, is best avoided",
     "TIFF 6.0, Section 22: JPEG Compression; TIFF Technical Note 2"},
    {"ADV-PRIVATE", Warning, "A private tag (32768 and above) the checker knows nothing of",
     "TIFF 6.0, Section 2: Private Tags"},
    {"ADV-SHORT-READ", Warning,
     "A check was cut short: a value too long to read whole, a limit on directories, or a "
     "file another program was writing",
     "Lodestar's own limits"},
}};

} // namespace

std::span<const TRule> Rules() {
  return Table;
}

const TRule* FindRule(std::string_view id) {
  const auto it =
      std::find_if(Table.begin(), Table.end(), [&](const TRule& rule) { return rule.Id == id; });
  return it == Table.end() ? nullptr : &*it;
}

const char* SeverityText(TSeverity severity) {
  switch (severity) {
  case Fatal:
    return "fatal";
  case Error:
    return "error";
  case Warning:
    return "warning";
  }
  return "?";
}

std::string RuleCatalogueMarkdown() {
  std::string text =
      "# Checks\n\n"
      "`lodestar-cli check` and the window's findings panel run these rules. A file with a "
      "**fatal** finding is \"not well-formed\": it cannot be read as TIFF as written. A file "
      "with an **error** is \"well-formed, not valid\". **Warnings** are advice and change no "
      "verdict; a file with none of the others is \"well-formed and valid\".\n\n"
      "This file is generated from the checker's rule table (`scripts/checks-doc.sh`); do not "
      "edit it by hand.\n\n"
      "| ID | Severity | Rule | Reference |\n"
      "|---|---|---|---|\n";
  for (const TRule& rule : Table) {
    text += "| `";
    text += rule.Id;
    text += "` | ";
    text += SeverityText(rule.Severity);
    text += " | ";
    text += rule.Summary;
    text += " | ";
    text += rule.Reference;
    text += " |\n";
  }
  return text;
}

std::string RuleCatalogueText() {
  std::string text;
  for (const TRule& rule : Table) {
    text += rule.Id;
    text.append(20 - std::min<std::size_t>(rule.Id.size(), 19), ' ');
    text += SeverityText(rule.Severity);
    text.append(9 - std::string_view(SeverityText(rule.Severity)).size(), ' ');
    text += rule.Summary;
    text += " [";
    text += rule.Reference;
    text += "]\n";
  }
  return text;
}

} // namespace lodestar::check
