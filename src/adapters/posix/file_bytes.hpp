#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumaro {

// Unmaps a mapping, frees a read buffer.
struct FileBytesRelease {
  std::size_t mappedSize = 0;
  void operator()(std::uint8_t* data) const;
};

// The whole content of a file. Regular files are mapped rather than copied
// (registry dumps run to many megabytes); pipes and other streams are read.
class FileBytes {
 public:
  // Absent when the file cannot be opened or read; `error` then says why.
  static std::optional<FileBytes> read(const std::string& path, std::string& error);

  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<std::uint8_t[], FileBytesRelease> data_;
  std::size_t size_ = 0;
};

}  // namespace lumaro
