#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

// A gzip file inside a gzip file is unpacked too, but no deeper.
constexpr int kMaxGzipLayers = 2;

[[nodiscard]] bool IsGzip(std::string_view bytes);

// The unpacked bytes of a gzip stream, every member of it as `gzip -d` reads them, at most
// `limit` of them; zero bytes after the last member are padding. Throws FileError naming
// `source`.
[[nodiscard]] std::string Gunzip(std::string_view bytes, std::size_t limit,
                                 const std::filesystem::path& source);

// `bytes` with up to kMaxGzipLayers layers of gzip taken off, all layers together unpacking
// to at most `limit` bytes. Refuses bytes still packed in a way FreeType would unpack by
// itself (gzip, compress, bzip2), so that it only ever reads plain fonts. Throws FileError
// naming `source`.
[[nodiscard]] std::string UnpackFontBytes(std::string bytes, std::size_t limit,
                                          const std::filesystem::path& source);

} // namespace korvalin
