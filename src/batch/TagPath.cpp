#include "TagPath.h"

#include "cLodestar.h"

#include <charconv>

namespace lodestar {

namespace {} // namespace

std::vector<std::uint16_t> TagPathSteps(std::string_view path) {
  std::vector<std::uint16_t> steps;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    std::uint32_t code = 0;
    std::from_chars(part.data(), part.data() + part.size(), code);
    steps.push_back(static_cast<std::uint16_t>(code));
    if (slash == std::string_view::npos)
      break;
    path.remove_prefix(slash + 1);
  }
  return steps;
}

namespace {

const TTiffDirectory* FirstReachedBy(const std::vector<TTiffDirectory>& directories,
                                     std::uint16_t pointerTag) {
  for (const TTiffDirectory& directory : directories)
    if (directory.PointerTag() == pointerTag)
      return &directory;
  return nullptr;
}

TDirectoryKind KindOfPointer(std::uint16_t pointerTag) {
  switch (pointerTag) {
  case 34665:
    return TDirectoryKind::Exif;
  case 34853:
    return TDirectoryKind::Gps;
  case 40965:
    return TDirectoryKind::Interoperability;
  case 400:
    return TDirectoryKind::GlobalParameters;
  default:
    return TDirectoryKind::SubIfd;
  }
}

} // namespace

bool IsTagPath(std::string_view number) {
  return number.find('/') != std::string_view::npos;
}

bool IsTagNumberOrPath(std::string_view number) {
  if (number.empty() || number.front() == '/' || number.back() == '/')
    return false;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (c == '/' ? number[i - 1] == '/' : c < '0' || c > '9')
      return false;
  }
  for (std::string_view part = number; !part.empty();) {
    const std::size_t slash = part.find('/');
    if (part.substr(0, slash).size() > 5)
      return false; // no tag number has more than five digits
    part = slash == std::string_view::npos ? std::string_view() : part.substr(slash + 1);
  }
  return true;
}

std::vector<const TTag*> EntriesAt(const TTiffPage& page, std::string_view number) {
  std::vector<const TTag*> found;
  AppendEntriesAt(page, TagPathSteps(number), found);
  return found;
}

void AppendEntriesAt(const TTiffPage& page, std::span<const std::uint16_t> steps,
                     std::vector<const TTag*>& found) {
  if (steps.size() < 2)
    return;
  const TTiffDirectory* directory = FirstReachedBy(page.SubDirectories(), steps.front());
  for (std::size_t i = 1; directory && i + 1 < steps.size(); ++i)
    directory = FirstReachedBy(directory->SubDirectories(), steps[i]);
  if (!directory)
    return;
  for (const TTag& tag : directory->Tags().ReadTags())
    if (tag.Code() == steps.back() && tag.HasNumber())
      found.push_back(&tag);
}

std::string PathDescription(std::string_view path) {
  const std::vector<std::uint16_t> steps = TagPathSteps(path);
  const TDirectoryKind kind =
      steps.size() < 2 ? TDirectoryKind::Page : KindOfPointer(steps[steps.size() - 2]);
  std::string label = TagDescription(kind, steps.empty() ? 0 : steps.back());
  label.erase(label.find_last_not_of(' ') + 1);
  return label;
}

} // namespace lodestar
