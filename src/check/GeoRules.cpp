#include "TCheckContext.h"
#include "cLodestar.h"

namespace lodestar::check {
namespace {

constexpr std::uint16_t KeysTag = 34735, DoublesTag = 34736, AsciiTag = 34737;

std::string Num(std::uint64_t value) {
  return std::to_string(value);
}

// The three GeoTIFF tags' own types; a key directory of another type is not read as keys.
bool TypesRight(TCheckContext& c, const TDirectory& d) {
  bool keysRight = true;
  for (const auto& [tag, type, name] :
       {std::tuple{KeysTag, type::Short, "Short"}, std::tuple{DoublesTag, type::Double, "Double"},
        std::tuple{AsciiTag, type::Ascii, "Ascii"}}) {
    const TEntry* entry = d.Find(tag);
    // An undefined type is the entry rule's to name.
    if (!entry || entry->Type == type || TypeSize(entry->Type, c.BigTiff()) == 0)
      continue;
    c.Add("GEO-TYPE", &d, entry, entry->EntryPos + 2,
          TagText(tag, d.Name) + " has type " + TypeText(entry->Type) + "; " + name + " expected");
    keysRight = keysRight && tag != KeysTag;
  }
  return keysRight;
}

} // namespace

void CheckGeoKeys(TCheckContext& c, const TDirectory& d, const std::vector<TGeoKey>& keys) {
  const TEntry* directory = d.Find(KeysTag);
  if (!TypesRight(c, d) || !directory->Readable)
    return;
  const auto header = c.Values(*directory, 4);
  const std::uint64_t at = directory->ValuePos;
  if (header.size() < 4) {
    c.Add("GEO-HEADER", &d, directory, at,
          "the key directory has " + Num(directory->Count) + " values; its header needs 4");
    return;
  }
  if (header[0] != 1 || header[1] != 1 || header[2] > 1)
    c.Add("GEO-HEADER", &d, directory, at,
          "key directory version " + Num(header[0]) + ", revision " + Num(header[1]) + "." +
              Num(header[2]) + "; version 1, revision 1.0 or 1.1 expected");
  if (4 + 4 * header[3] > directory->Count)
    c.Add("GEO-HEADER", &d, directory, at + 6,
          Num(header[3]) + " keys need " + Num(4 + 4 * header[3]) + " values; the tag has " +
              Num(directory->Count));

  const TEntry* doubles = d.Find(DoublesTag);
  const TEntry* ascii = d.Find(AsciiTag);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const TGeoKey& key = keys[k];
    const std::uint64_t keyAt = at + 8 + 8 * k;
    const std::string name = "key " + Num(key.KeyId) + " (" + key.Name + ")";
    if (k > 0 && key.KeyId <= keys[k - 1].KeyId)
      c.Add("GEO-ORDER", &d, directory, keyAt,
            name + " follows key " + Num(keys[k - 1].KeyId) + "; keys ascend, each once");
    const TEntry* holder = key.Location == KeysTag      ? directory
                           : key.Location == DoublesTag ? doubles
                           : key.Location == AsciiTag   ? ascii
                                                        : nullptr;
    if (key.Location == 0) {
      if (key.Count != 1)
        c.Add("GEO-LOCATION", &d, directory, keyAt + 4,
              name + " holds its value in the key with count " + Num(key.Count) + "; 1 expected");
      continue;
    }
    if (!holder) {
      c.Add("GEO-LOCATION", &d, directory, keyAt + 2,
            name + " names tag " + Num(key.Location) +
                (key.Location == DoublesTag || key.Location == AsciiTag
                     ? ", which the directory lacks"
                     : "; 0, 34735, 34736 or 34737 expected"));
      continue;
    }
    if (std::uint64_t(key.ValueOffset) + key.Count > holder->Count)
      c.Add("GEO-SLICE", &d, directory, keyAt + 6,
            name + " takes values " + Num(key.ValueOffset) + " to " +
                Num(std::uint64_t(key.ValueOffset) + key.Count) + " of tag " + Num(key.Location) +
                ", which has " + Num(holder->Count));
  }
}

} // namespace lodestar::check
