#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

[[nodiscard]] bool IsGzip(std::string_view bytes);

// The unpacked bytes of a gzip stream, at most `limit` of them. Throws FileError naming
// `source`.
[[nodiscard]] std::string Gunzip(std::string_view bytes, std::size_t limit,
                                 const std::filesystem::path& source);

} // namespace korvalin
