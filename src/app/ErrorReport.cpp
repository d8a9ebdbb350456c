#include "ErrorReport.h"

std::string ErrorReportText(std::string message) {
  // Compared as unsigned bytes: the last byte of a UTF-8 character sorts after "." as well.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    message += '.';
  return message;
}
