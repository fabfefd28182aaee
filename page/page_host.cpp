#include "page/page_host.h"

#include <atomic>
#include <cstdlib>

#include "page/page_data.h"

namespace {
std::atomic<PageHostLocator> g_hostLocator{nullptr};
std::atomic<PageAllocator> g_allocator{nullptr};
} // namespace

void RegisterPageHostLocator(PageHostLocator locator) {
    g_hostLocator.store(locator);
}

PageHost* PageHostFromParameter(LPARAM pageParameter) {
    const PageHostLocator locator = g_hostLocator.load();
    if (!locator || pageParameter == 0)
        return nullptr;
    return locator(pageParameter);
}

void SetPageAllocator(PageAllocator allocator) {
    g_allocator.store(allocator);
}

void* AllocatePageBlock(size_t count, size_t size) {
    const PageAllocator allocator = g_allocator.load();
    return allocator ? allocator(count, size) : calloc(count, size);
}
