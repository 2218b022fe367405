#pragma once
// Starting the worker threads of a pool whose caller can also do the work.

#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace tavolin {

// Starts up to count threads running work into threads. A thread that
// cannot be had leaves fewer; with none at all (and count not 0) the
// caller runs work itself, now.
template <typename Work>
void start_workers(std::vector<std::thread>& threads, std::size_t count, Work work) {
  for (std::size_t i = 0; i < count; ++i) {
    try {
      threads.emplace_back(work);
    } catch (const std::exception&) {
      break;
    }
  }
  if (count != 0 && threads.empty()) work();
}

}  // namespace tavolin
