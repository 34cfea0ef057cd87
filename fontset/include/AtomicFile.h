#pragma once

#include <filesystem>
#include <string_view>

namespace korvalin {

// Whether a replaced file must be on the disk before the call returns. The user's font
// sets must; files that Compile makes again from the set in memory need not wait for it.
enum class Durability { Flushed, Transient };

// What a symbolic link in the target's place stands for. A file the user picked is reached
// through its link; a work file of the program's own folder replaces a link that someone
// planted there, so nothing is written outside the folder and the link's target stays as
// it was.
enum class LinkPolicy { Follow, Replace };

// Replaces `target` with `bytes` as a whole or not at all: the bytes go to a hidden
// temporary file in the same folder, which is (when Flushed) flushed to disk and then
// renamed over the target. A failed write leaves the previous file as it was. A read-only
// target is refused even where the rename could bypass it. Throws FileError.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         Durability durability = Durability::Flushed,
                         LinkPolicy links = LinkPolicy::Follow);

} // namespace korvalin
