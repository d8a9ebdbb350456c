// The floor of a batch run: the same walk, and for every "*.tif" file only an open, a read of its
// first 64 KiB and a close. Nothing a batch run does can take less, one file after another.
//
//   lodestar_batch_floor DIR   prints the number of files read
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsTif(const char* name) {
  const std::size_t n = std::char_traits<char>::length(name);
  return (n >= 4 && strcasecmp(name + n - 4, ".tif") == 0) ||
         (n >= 5 && strcasecmp(name + n - 5, ".tiff") == 0);
}

long Walk(const std::string& dir, std::vector<char>& buffer) {
  DIR* d = opendir(dir.c_str());
  if (!d)
    return 0;
  std::vector<std::string> files, dirs;
  while (const dirent* e = readdir(d)) {
    if (e->d_name[0] == '.')
      continue;
    if (e->d_type == DT_DIR)
      dirs.emplace_back(e->d_name);
    else if (e->d_type == DT_REG && IsTif(e->d_name))
      files.emplace_back(e->d_name);
  }
  closedir(d);
  std::sort(files.begin(), files.end());
  std::sort(dirs.begin(), dirs.end());
  long count = 0;
  for (const auto& name : files) {
    const int fd = open((dir + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
      continue;
    if (read(fd, buffer.data(), buffer.size()) >= 0)
      ++count;
    close(fd);
  }
  for (const auto& name : dirs)
    count += Walk(dir + "/" + name, buffer);
  return count;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  std::vector<char> buffer(64 * 1024);
  std::printf("%ld\n", Walk(argv[1], buffer));
  return 0;
}
