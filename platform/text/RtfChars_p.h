#pragma once
// The characters rich text carries as cell text: every character but the
// control characters (C0 but the tab, DEL, C1). Line ends are paragraphs,
// never characters of a run; the reader drops the other controls however
// they are written (a raw byte, \'hh, \uN) and the writer writes none, so
// a document reads back as it was written.

inline bool IsRtfTextChar(char16_t c) { return c == u'\t' || (c >= 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F)); }
