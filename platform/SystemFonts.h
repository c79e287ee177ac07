// The system's font configuration, read ahead of the first text the window measures.
#pragma once

#include <future>

// Starts reading fontconfig's configuration files and font caches on a worker thread: the
// largest single step of the first text Qt measures, which would otherwise run on the GUI
// thread in the middle of building the window. Wait for the result before the first text
// is measured, so fontconfig is never set up by two threads at once.
std::shared_future<void> ReadFontConfigurationInBackground();
