#pragma once
// The blocks the nodes of one document are made of. A parse makes hundreds
// of thousands of nodes: they are carved from large chunks, one free list
// per 16-byte size class, and the chunks go back to the system when the
// document is cleared or deleted and the last of its nodes is gone (a node
// removed from the tree and kept elsewhere keeps its arena until it is
// deleted).
//
// Every block starts with a header naming its arena (none for a node made
// without a document), so a node can be deleted wherever it went. Under
// AddressSanitizer free blocks and the unused rest of each chunk are
// poisoned: a use after free or a double free is reported as such.
//
// The arena also keeps what the parser's nodes share instead of copying:
// the input they keep their values in until they are read, and one string
// per name. Both stay as long as any node of the arena.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class TNodeArena {
public:
    TNodeArena() = default;
    TNodeArena(const TNodeArena&) = delete;
    TNodeArena& operator=(const TNodeArena&) = delete;

    // A node block of size bytes, from arena (or from the heap when none).
    static void* Allocate(TNodeArena* arena, size_t size);
    // Gives a block of Allocate back, wherever it came from.
    static void Free(void* block);

    // The document lets go: the arena frees its chunks now when no block is
    // in use, else when the last one is freed. Nothing is made from it any
    // more, so freed blocks are not kept for reuse.
    void Release();

    // Holds bytes (shared, not copied: the caller's bytes own their data);
    // returns where they are.
    const char* HoldBytes(const QByteArray& bytes);
    // A string kept as long as the arena.
    const QString* KeepName(const QString& name)
    {
        m_names.push_back(name);
        return &m_names.back();
    }

    size_t LiveBlocks() const { return m_live; }
    size_t ChunkBytes() const { return m_chunkBytes; }

private:
    ~TNodeArena();
    void* Carve(size_t bytes);

    static constexpr size_t kClassCount = 40; // 16-byte classes up to 624 bytes
    struct FreeBlock {
        FreeBlock* next;
    };
    FreeBlock* m_free[kClassCount] = {};
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    std::vector<char*> m_chunks;
    size_t m_nextChunk = 16 * 1024;
    size_t m_chunkBytes = 0;
    size_t m_live = 0;
    bool m_released = false;
    std::vector<QByteArray> m_bytes;
    std::deque<QString> m_names;
};
