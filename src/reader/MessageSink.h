#pragma once

#include <functional>
#include <string>

namespace lodestar {

// The reader never shows anything: its messages ("streamsize", and the file size followed by the
// failed directory's end position) go to the caller's sink. The window shows a modal box, the
// command line collects them, a batch run drops them. An empty sink drops them too.
using TMessageSink = std::function<void(const std::string& message)>;

} // namespace lodestar
