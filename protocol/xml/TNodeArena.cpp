#include "protocol/xml/TNodeArena_p.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define TAMSEL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMSEL_ASAN 1
#endif
#endif

#if defined(TAMSEL_ASAN)
#include <sanitizer/asan_interface.h>
#define POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POISON(p, n) ((void)(p), (void)(n))
#define UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

// The header keeps blocks 16-byte aligned.
constexpr size_t kHeader = 16;
constexpr size_t kMaxChunk = 1024 * 1024;

struct Header {
    TNodeArena* arena;
    size_t sizeClass;
};

inline size_t ClassOf(size_t size) { return (size + kHeader + 15) >> 4; }

} // namespace

TNodeArena::~TNodeArena()
{
    for (char* c : m_chunks) ::operator delete(c);
}

void* TNodeArena::Carve(size_t bytes)
{
    if (size_t(m_end - m_cursor) < bytes) {
        const size_t size = m_nextChunk < bytes ? bytes : m_nextChunk;
        if (m_nextChunk < kMaxChunk) m_nextChunk *= 2;
        m_chunks.reserve(m_chunks.size() + 1);
        m_cursor = static_cast<char*>(::operator new(size));
        m_end = m_cursor + size;
        m_chunks.push_back(m_cursor);
        m_chunkBytes += size;
        POISON(m_cursor, size);
    }
    void* p = m_cursor;
    m_cursor += bytes;
    return p;
}

void* TNodeArena::Allocate(TNodeArena* arena, size_t size)
{
    const size_t cls = ClassOf(size);
    void* block;
    if (!arena || cls >= kClassCount) {
        block = ::operator new(size + kHeader);
        arena = nullptr;
    } else if (FreeBlock* f = arena->m_free[cls]) {
        UNPOISON(f, cls << 4);
        arena->m_free[cls] = f->next;
        block = f;
    } else {
        block = arena->Carve(cls << 4);
        UNPOISON(block, cls << 4);
    }
    if (arena) ++arena->m_live;
    static_cast<Header*>(block)->arena = arena;
    static_cast<Header*>(block)->sizeClass = cls;
    return static_cast<char*>(block) + kHeader;
}

void TNodeArena::Free(void* p)
{
    if (!p) return;
    void* block = static_cast<char*>(p) - kHeader;
    TNodeArena* arena = static_cast<Header*>(block)->arena;
    if (!arena) {
        ::operator delete(block);
        return;
    }
    const size_t cls = static_cast<Header*>(block)->sizeClass;
    if (arena->m_released) {
        // Nothing is made from it any more.
        POISON(block, cls << 4);
        if (--arena->m_live == 0) delete arena;
        return;
    }
    auto* f = static_cast<FreeBlock*>(block);
    f->next = arena->m_free[cls];
    arena->m_free[cls] = f;
    POISON(block, cls << 4);
    if (--arena->m_live == 0 && arena->m_released) delete arena;
}

const char* TNodeArena::HoldBytes(const QByteArray& bytes)
{
    if (m_bytes.empty() || m_bytes.back().constData() != bytes.constData()) m_bytes.push_back(bytes);
    return m_bytes.back().constData();
}

void TNodeArena::Release()
{
    m_released = true;
    if (m_live == 0) delete this;
}
