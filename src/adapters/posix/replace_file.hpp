#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumaro {

// Replaces `file` with `content` atomically: a temporary file in the same
// folder (made if missing), written and flushed, then renamed over it. Readers
// and concurrent writers see a whole old or a whole new file, the last rename
// winning. Absent on success, else why it failed.
std::optional<std::string> replaceFile(const std::filesystem::path& file, std::string_view content);

// The whole of a small text file; absent when there is none (`error` empty)
// or it cannot be read (`error` says why).
std::optional<std::string> readSmallFile(const std::filesystem::path& file, std::string& error);

// $<variable> when it holds an absolute path, else $HOME/<underHome>; absent
// without either. XDG base-directory rules.
std::optional<std::filesystem::path> xdgDirectory(const char* variable, const char* underHome);
// `inside` below that XDG directory; absent when there is none.
std::optional<std::filesystem::path> xdgFile(const char* variable, const char* underHome,
                                             const std::filesystem::path& inside);

}  // namespace lumaro
