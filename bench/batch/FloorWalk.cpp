// The floor of a batch run: the same walk, and for every "*.tif" file only an open, a read of its
// first 64 KiB and a close. Nothing a batch run does can take less, one file after another.
// With --lock each file is also read under a shared lock, as the tool reads it so that a file the
// editor is writing is never read half written: the floor of a run that keeps that promise.
//
//   lodestar_batch_floor [--lock] DIR   prints the number of files read
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

bool Lock = false;

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
    if (Lock)
      flock(fd, LOCK_SH | LOCK_NB);
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
  Lock = argc == 3 && std::string(argv[1]) == "--lock";
  if (argc != 2 + Lock) {
    std::fprintf(stderr, "usage: %s [--lock] DIR\n", argv[0]);
    return 2;
  }
  std::vector<char> buffer(64 * 1024);
  std::printf("%ld\n", Walk(argv[argc - 1], buffer));
  return 0;
}
