// Sleeping on a 32-bit word until another thread changes it and wakes the sleeper: the
// one primitive under the POSIX layer's locks and semaphores. Linux uses futexes; other
// systems park sleepers on a fixed table of condition variables.
#ifndef TESSERA_PLATFORM_POSIX_WAIT_WORD_H
#define TESSERA_PLATFORM_POSIX_WAIT_WORD_H

#include <atomic>
#include <cstdint>
#include <ctime>

namespace tessera::platform {

/// Sleeps while `word` holds `expected`, at most `relative` long (null: no limit). May
/// return early for no reason; callers test their word again.
void WaitOnWord(std::atomic<std::uint32_t>* word, std::uint32_t expected, const timespec* relative) noexcept;

/// Wakes one thread sleeping on `word`. `word` may have been freed meanwhile: the call
/// only uses its address.
void WakeOneOnWord(std::atomic<std::uint32_t>* word) noexcept;

}  // namespace tessera::platform

#endif  // TESSERA_PLATFORM_POSIX_WAIT_WORD_H
