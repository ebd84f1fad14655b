// The text of a site configuration file, from the bytes on disk. Sites edit
// the file with whatever editor is at hand, so it may come in any of the
// encodings Windows editors write.
#pragma once

#include <string>
#include <string_view>

// `ABytes` as UTF-8 text: after a UTF-8 byte-order mark the bytes as they are;
// after a UTF-16 little- or big-endian one the code units decoded (an unpaired
// surrogate becomes U+FFFD, an odd last byte is dropped); without a mark the
// bytes are in the system's ANSI code page (platform/ansi_decoding.h). The
// mark itself is not part of the text.
std::string IniTextFromBytes(std::string_view ABytes);
