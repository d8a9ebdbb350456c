#pragma once

#include <stdexcept>
#include <string>

namespace lodestar {

// Every error the reader lets out carries the exact text the user is shown; the types let callers
// tell the failures apart without comparing texts.
class ELodestarError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "Not a valid tiff file": the byte-order mark or the magic number is wrong.
class EInvalidTiff : public ELodestarError {
public:
  EInvalidTiff();
};

// "Stream read error": fewer bytes remain than a 16- or 32-bit read needs.
class EReadError : public ELodestarError {
public:
  EReadError();
};

// "Cannot open file "%s". %s": the path and the system's reason.
class EFOpenError : public ELodestarError {
public:
  EFOpenError(const std::string& path, const std::string& reason);
};

// "Cannot create file "%s". %s": the path and the system's reason.
class EFCreateError : public ELodestarError {
public:
  EFCreateError(const std::string& path, const std::string& reason);
};

// "'%s' is not a valid integer value": a tag number or value text that is no 32-bit integer.
class EConvertError : public ELodestarError {
public:
  explicit EConvertError(const std::string& text);
};

// The decimal conversion of tag numbers and value texts: an optional sign and decimal digits that
// fit a signed 32-bit integer, nothing else. Raises EConvertError for anything else.
int StrToInt(const std::string& text);

} // namespace lodestar
