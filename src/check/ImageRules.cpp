#include "TCheckContext.h"
#include "TChecker.h"

#include <algorithm>

namespace lodestar::check {
namespace {

std::string Num(std::uint64_t value) {
  return std::to_string(value);
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
  return b == 0 ? 0 : a / b + (a % b != 0);
}

// Samples the colour space itself takes, before ExtraSamples; 0 where the checker has no rule.
std::uint64_t ColourSamples(std::uint64_t photometric, std::uint64_t inkSet,
                            std::optional<std::uint64_t> inks) {
  switch (photometric) {
  case 0:
  case 1:
  case 3:
  case 4:
  case 32844:
    return 1;
  case 2:
  case 6:
  case 8:
  case 9:
  case 10:
  case 32845:
    return 3;
  case 5:
    return inkSet == 1 ? 4 : inks.value_or(0);
  default:
    return 0;
  }
}

class TImage {
public:
  TImage(TCheckContext& context, const TDirectory& directory) : C(context), D(directory) {}

  void Required();
  void Samples();
  void Data();

private:
  void Missing(std::uint16_t tag, const std::string& why) {
    TEntry absent;
    absent.Tag = tag;
    absent.Index = -1;
    C.Add("TAG-REQUIRED", &D, &absent, D.Offset,
          TagText(tag, D.Name) + " is missing; " + why + " requires it");
  }
  // Offsets against byte counts: inside the file, and each an extent for the overlap sweep.
  void Extents(const TEntry& offsets, const TEntry& counts, const char* what);
  void CountRule(const char* rule, const TEntry& entry, std::uint64_t expected,
                 const std::string& why);

  TCheckContext& C;
  const TDirectory& D;
};

void TImage::Required() {
  if (const TEntry* compression = D.Find(259); compression && C.First(D, 259) == 6u)
    C.Add("ADV-OLD-JPEG", &D, compression, compression->ValuePos,
          "Compression 6, old-style JPEG: many readers decode it wrongly or not at all");
  for (const std::uint16_t tag : {256, 257, 262})
    if (!D.Find(tag))
      Missing(tag, "every image");
  // X and YResolution have no default value.
  for (const std::uint16_t tag : {282, 283})
    if (!D.Find(tag))
      Missing(tag, "every image");
  const auto photometric = C.First(D, 262);
  if (!photometric)
    return;
  const char* kinds[] = {"a grey image",  "a grey image",
                         "an RGB image",  "a palette image",
                         "a mask",        "a separated (CMYK) image",
                         "a YCbCr image", "",
                         "a CIELab image"};
  const std::string kind = *photometric <= 8 ? kinds[*photometric] : "its colour space";
  // Bilevel images take BitsPerSample's default of 1; every other class must say.
  if (*photometric == 3 || *photometric == 2 || *photometric == 5 || *photometric == 6 ||
      *photometric == 8) {
    if (!D.Find(258))
      Missing(258, kind);
    if (*photometric != 3 && !D.Find(277))
      Missing(277, kind);
  }
  if (*photometric == 3 && !D.Find(320))
    Missing(320, kind);
  if (*photometric != 3)
    if (const TEntry* colorMap = D.Find(320))
      C.Add("TAG-COLORMAP", &D, colorMap, colorMap->EntryPos,
            "ColorMap in an image of PhotometricInterpretation " + Num(*photometric) +
                "; only palette images (3) have one");
}

void TImage::Samples() {
  const auto photometric = C.First(D, 262);
  if (!photometric)
    return;
  const std::uint64_t samples = C.First(D, 277).value_or(1);
  const TEntry* extra = D.Find(338);
  const std::uint64_t extras = extra ? extra->Count : 0;
  const std::uint64_t colour =
      ColourSamples(*photometric, C.First(D, 332).value_or(1), C.First(D, 334));
  if (colour == 0)
    return;
  // A missing SamplesPerPixel is reported as required already.
  if (!D.Find(277) && colour != 1)
    return;
  if (samples < extras || samples - extras != colour)
    C.Add("TAG-SAMPLES", &D, D.Find(277), D.Find(277) ? D.Find(277)->EntryPos : D.Offset,
          "SamplesPerPixel " + Num(samples) + " with " + Num(extras) +
              " ExtraSamples; PhotometricInterpretation " + Num(*photometric) + " needs " +
              Num(colour) + " colour samples");
}

void TImage::CountRule(const char* rule, const TEntry& entry, std::uint64_t expected,
                       const std::string& why) {
  if (entry.Count != expected)
    C.Add(rule, &D, &entry, entry.EntryPos + 4,
          TagText(entry.Tag, D.Name) + " has " + Num(entry.Count) + " values; the image needs " +
              Num(expected) + " (" + why + ")");
}

void TImage::Extents(const TEntry& offsets, const TEntry& counts, const char* what) {
  const std::uint64_t n = std::min(offsets.Count, counts.Count);
  if (n > TChecker::MaxArrayValues)
    C.Add("ADV-SHORT-READ", &D, &offsets, offsets.EntryPos,
          "only the first " + Num(TChecker::MaxArrayValues) + " of " + Num(n) + " " + what +
              " are checked");
  const auto starts = C.Values(offsets, TChecker::MaxArrayValues);
  const auto lengths = C.Values(counts, TChecker::MaxArrayValues);
  const std::size_t m = std::min(starts.size(), lengths.size());
  for (std::size_t i = 0; i < m; ++i) {
    const std::uint64_t start = starts[i];
    const std::uint64_t length = lengths[i];
    if (start > C.Size() || C.Size() - start < length) {
      C.Add("IMG-OUTSIDE", &D, &offsets, offsets.ValuePos,
            std::string(what).substr(0, std::string(what).size() - 1) + " " + Num(i + 1) + " of " +
                Num(length) + " bytes at " + Num(start) + " runs past the end of the file (" +
                Num(C.Size()) + " bytes)");
      continue;
    }
    C.AddExtent(
        {TExtent::Image, start, start + length, &D, offsets.Index, offsets.Tag, offsets.EntryPos});
  }
}

void TImage::Data() {
  const TEntry* stripOffsets = D.Find(273);
  const TEntry* stripCounts = D.Find(279);
  const TEntry* tileOffsets = D.Find(324);
  const TEntry* tileCounts = D.Find(325);
  const bool strips = stripOffsets || stripCounts;
  const bool tiles = tileOffsets || tileCounts || D.Find(322) || D.Find(323);
  if (strips && tiles)
    C.Add("IMG-STRIPS-AND-TILES", &D, nullptr, D.Offset, "the image has both strips and tiles");
  if (!strips && !tiles) {
    C.Add("IMG-DATA", &D, nullptr, D.Offset, "the image has neither strips nor tiles");
    return;
  }
  const std::uint64_t width = C.First(D, 256).value_or(0);
  const std::uint64_t length = C.First(D, 257).value_or(0);
  const std::uint64_t samples = C.First(D, 277).value_or(1);
  const std::uint64_t planes = C.First(D, 284).value_or(1) == 2 ? samples : 1;
  const std::string planar = planes > 1 ? ", times SamplesPerPixel when planar" : "";
  if (tiles) {
    const auto tileWidth = C.First(D, 322);
    const auto tileLength = C.First(D, 323);
    for (const auto& [tag, entry] : {std::pair<std::uint16_t, const TEntry*>{322, D.Find(322)},
                                     {323, D.Find(323)},
                                     {324, tileOffsets},
                                     {325, tileCounts}})
      if (!entry)
        C.Add("IMG-DATA", &D, nullptr, D.Offset,
              TagText(tag, D.Name) + " is missing from a tiled image");
    for (const TEntry* entry : {D.Find(322), D.Find(323)}) {
      const auto value = entry ? C.Values(*entry, 1) : std::vector<std::uint64_t>{};
      if (!value.empty() && (value[0] == 0 || value[0] % 16 != 0))
        C.Add("IMG-TILE-SIZE", &D, entry, entry->ValuePos,
              TagText(entry->Tag, D.Name) + " " + Num(value[0]) + " is not a multiple of 16");
    }
    if (tileWidth && tileLength && *tileWidth > 0 && *tileLength > 0 && width > 0 && length > 0) {
      const std::uint64_t expected =
          CeilDiv(width, *tileWidth) * CeilDiv(length, *tileLength) * planes;
      const std::string why = "tiles across times tiles down" + planar;
      for (const TEntry* entry : {tileOffsets, tileCounts})
        if (entry)
          CountRule("IMG-TILE-COUNT", *entry, expected, why);
    }
    if (tileOffsets && tileCounts)
      Extents(*tileOffsets, *tileCounts, "tiles");
    return;
  }
  for (const auto& [tag, entry] :
       {std::pair<std::uint16_t, const TEntry*>{273, stripOffsets}, {279, stripCounts}})
    if (!entry)
      C.Add("IMG-DATA", &D, nullptr, D.Offset, TagText(tag, D.Name) + " is missing");
  const std::uint64_t rows = C.First(D, 278).value_or(0xFFFFFFFFu);
  if (length > 0 && rows > 0) {
    const std::uint64_t expected = CeilDiv(length, std::min(rows, length)) * planes;
    const std::string why = "ImageLength over RowsPerStrip" + planar;
    for (const TEntry* entry : {stripOffsets, stripCounts})
      if (entry)
        CountRule("IMG-STRIP-COUNT", *entry, expected, why);
  }
  if (stripOffsets && stripCounts)
    Extents(*stripOffsets, *stripCounts, "strips");
}

} // namespace

void CheckImage(TCheckContext& context, const TDirectory& directory) {
  // A directory holding only a JPEG stream (a thumbnail, as Exif writes them) is described by
  // that stream's own header.
  if (directory.Find(513) && !directory.Find(273) && !directory.Find(324) && !directory.Find(256))
    return;
  TImage image(context, directory);
  image.Required();
  image.Samples();
  image.Data();
}

} // namespace lodestar::check
