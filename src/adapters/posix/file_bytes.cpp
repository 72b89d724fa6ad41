#include "adapters/posix/file_bytes.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumaro {
namespace {

// Closes the descriptor on every path.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

void FileBytesRelease::operator()(std::uint8_t* data) const {
  if (mappedSize > 0) {
    ::munmap(data, mappedSize);
  } else {
    delete[] data;
  }
}

std::optional<FileBytes> FileBytes::read(const std::string& path, std::string& error) {
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  if (S_ISDIR(info.st_mode)) {
    error = std::strerror(EISDIR);
    return std::nullopt;
  }
  FileBytes result;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.get(), 0);
    if (mapped != MAP_FAILED) {
      result.data_ =
          std::unique_ptr<std::uint8_t[], FileBytesRelease>(static_cast<std::uint8_t*>(mapped), FileBytesRelease{size});
      result.size_ = size;
      return result;
    }
  }
  // Streams report no size and grow as they are read.
  std::size_t capacity = std::size_t{64} * 1024;
  result.data_.reset(new std::uint8_t[capacity]);
  while (true) {
    if (result.size_ == capacity) {
      const std::size_t grown = capacity * 2;
      std::unique_ptr<std::uint8_t[], FileBytesRelease> larger(new std::uint8_t[grown]);
      std::memcpy(larger.get(), result.data_.get(), result.size_);
      result.data_ = std::move(larger);
      capacity = grown;
    }
    const ssize_t count = ::read(file.get(), result.data_.get() + result.size_, capacity - result.size_);
    if (count < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return std::nullopt;
    }
    if (count == 0) break;
    result.size_ += static_cast<std::size_t>(count);
  }
  return result;
}

}  // namespace lumaro
