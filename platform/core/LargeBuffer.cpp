#include "platform/core/LargeBuffer.h"

#include <cstdint>
#include <sys/mman.h>

void AdviseLargeBuffer(void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t page = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t last = (start + size) & ~(page - 1);
    // Advice only: a refusal changes nothing but the speed.
    if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}
