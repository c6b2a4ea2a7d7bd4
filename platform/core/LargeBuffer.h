#pragma once
// Advice for large buffers that are filled at once (a clipboard stream of a
// whole grid): the system backs them with large pages where it can, so that
// writing them first takes a page fault per 2 MB instead of per 4 KB.

#include <cstddef>

// Only the whole large pages inside the buffer are advised; a buffer under
// one large page, or a system without the advice, is left as it is.
void AdviseLargeBuffer(void* data, std::size_t size);
