#include "TResultsFile.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>

namespace lodestar {

TResultsFile::TResultsFile(const std::string& fileName) : FFileName(fileName) {
  FFile = std::fopen(fileName.c_str(), "wb");
  if (!FFile)
    throw EFCreateError(fileName, std::strerror(errno));
  std::setvbuf(FFile, nullptr, _IOFBF, 1 << 16);
}

TResultsFile::~TResultsFile() {
  if (FFile)
    std::fclose(FFile);
}

void TResultsFile::WriteLine(std::string_view line) {
  // A value may bring line breaks of its own (CR LF, LF or CR alone). The results pane shows each
  // as a line end and saves it as CR LF, so a results file written here does the same.
  for (auto brk = line.find_first_of("\r\n"); brk != std::string_view::npos;
       brk = line.find_first_of("\r\n")) {
    std::fwrite(line.data(), 1, brk, FFile);
    std::fwrite("\r\n", 1, 2, FFile);
    const bool crLf = line[brk] == '\r' && brk + 1 < line.size() && line[brk + 1] == '\n';
    line.remove_prefix(brk + (crLf ? 2 : 1));
  }
  std::fwrite(line.data(), 1, line.size(), FFile);
  std::fwrite("\r\n", 1, 2, FFile);
}

void TResultsFile::Close() {
  if (!FFile)
    return;
  const bool failed = std::ferror(FFile) != 0;
  const int writeError = errno;
  const bool closeFailed = std::fclose(FFile) != 0;
  FFile = nullptr;
  if (failed || closeFailed)
    throw EFCreateError(FFileName, std::strerror(closeFailed ? errno : writeError));
}

void SaveResultsText(const std::string& fileName, std::string_view text) {
  TResultsFile file(fileName);
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    file.WriteLine(line);
    if (end == std::string_view::npos)
      break;
    text.remove_prefix(end + 1);
  }
  file.Close();
}

} // namespace lodestar
