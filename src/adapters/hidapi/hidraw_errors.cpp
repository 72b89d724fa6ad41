#include "adapters/hidapi/hidraw_errors.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace lumaro::hid {

namespace {

bool nodeMissing(const std::filesystem::path& node) {
  struct stat info {};
  return ::stat(node.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

IOReturn ioReturnForErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return kIOReturnNotPrivileged;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return kIOReturnNoDevice;
    default:
      return kIOReturnError;
  }
}

IOReturn openFailureCode(const std::filesystem::path& node, int savedErrno) {
  if (nodeMissing(node)) return kIOReturnNoDevice;
  if (::access(node.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM)) return kIOReturnNotPrivileged;
  return ioReturnForErrno(savedErrno);
}

IOReturn reportFailureCode(const std::filesystem::path& node, int savedErrno) {
  if (nodeMissing(node)) return kIOReturnNoDevice;
  return ioReturnForErrno(savedErrno);
}

}  // namespace lumaro::hid
