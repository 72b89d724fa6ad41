#include "adapters/posix/posix_process_launcher.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>
#include <utility>

#include "adapters/posix/unique_fd.hpp"

extern char** environ;

namespace lumaro::process {
namespace {

using posix::UniqueFd;

struct Pipe {
  UniqueFd readEnd;
  UniqueFd writeEnd;
};

// strerror() is not thread-safe; the category message is.
std::string describe(int error) { return std::generic_category().message(error); }

std::string launchFailure(const std::string& executable, const std::string& reason) {
  return "launch of " + executable + " failed: " + reason;
}

// Close-on-exec from the start, so a child spawned concurrently by another
// thread never holds our write ends open (which would delay our end of file).
std::optional<Pipe> makePipe(int& error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = errno;
    return std::nullopt;
  }
  return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

class FileActions {
 public:
  FileActions() { error_ = posix_spawn_file_actions_init(&actions_); }
  ~FileActions() {
    if (error_ == 0) posix_spawn_file_actions_destroy(&actions_);
  }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;

  int error() const { return error_; }
  // dup2 onto 1 and 2 clears close-on-exec for the child's copies only.
  int redirect(int from, int to) { return posix_spawn_file_actions_adddup2(&actions_, from, to); }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  int error_ = 0;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { error_ = posix_spawnattr_init(&attributes_); }
  ~SpawnAttributes() {
    if (error_ == 0) posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  int error() const { return error_; }
  // The calling thread may be a worker with signals blocked or SIGPIPE
  // ignored; the tool must start with ordinary signal behaviour.
  int resetSignals() {
    sigset_t none;
    sigset_t pipeOnly;
    sigemptyset(&none);
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    if (int e = posix_spawnattr_setsigmask(&attributes_, &none); e != 0) return e;
    if (int e = posix_spawnattr_setsigdefault(&attributes_, &pipeOnly); e != 0) return e;
    return posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_{};
  int error_ = 0;
};

// Reads both pipes until both report end of file. Returns 0 or an errno.
int drain(UniqueFd& out, UniqueFd& err, std::vector<std::uint8_t>& outBytes, std::vector<std::uint8_t>& errBytes) {
  std::array<std::uint8_t, std::size_t{64} * 1024> buffer;
  UniqueFd* streams[2] = {&out, &err};
  std::vector<std::uint8_t>* sinks[2] = {&outBytes, &errBytes};

  while (out.valid() || err.valid()) {
    pollfd fds[2];
    int owners[2];
    nfds_t count = 0;
    for (int i = 0; i < 2; ++i) {
      if (streams[i]->valid()) {
        fds[count] = pollfd{streams[i]->get(), POLLIN, 0};
        owners[count] = i;
        ++count;
      }
    }
    if (::poll(fds, count, -1) < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (nfds_t k = 0; k < count; ++k) {
      if (fds[k].revents == 0) continue;
      const int i = owners[k];
      const ssize_t n = ::read(streams[i]->get(), buffer.data(), buffer.size());
      if (n > 0) {
        sinks[i]->insert(sinks[i]->end(), buffer.begin(), buffer.begin() + n);
      } else if (n == 0) {
        streams[i]->reset();
      } else if (errno != EINTR && errno != EAGAIN) {
        return errno;
      }
    }
  }
  return 0;
}

// Waits for `pid`, retrying on EINTR. Returns 0 or an errno.
int reap(pid_t pid, int& waitStatus) {
  for (;;) {
    if (::waitpid(pid, &waitStatus, 0) == pid) return 0;
    if (errno != EINTR) return errno;
  }
}

std::int32_t exitStatus(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;  // not reachable without WUNTRACED; never report success
}

}  // namespace

RunResult PosixProcessLauncher::run(const std::string& executable, const std::vector<std::string>& arguments) {
  if (executable.empty() || executable.front() != '/') {
    return LaunchFailed{launchFailure(executable, "the executable path is not absolute")};
  }

  int error = 0;
  auto out = makePipe(error);
  if (!out) return LaunchFailed{launchFailure(executable, describe(error))};
  auto err = makePipe(error);
  if (!err) return LaunchFailed{launchFailure(executable, describe(error))};

  FileActions actions;
  SpawnAttributes attributes;
  if (actions.error() != 0) return LaunchFailed{launchFailure(executable, describe(actions.error()))};
  if (attributes.error() != 0) return LaunchFailed{launchFailure(executable, describe(attributes.error()))};
  if (int e = actions.redirect(out->writeEnd.get(), STDOUT_FILENO); e != 0) {
    return LaunchFailed{launchFailure(executable, describe(e))};
  }
  if (int e = actions.redirect(err->writeEnd.get(), STDERR_FILENO); e != 0) {
    return LaunchFailed{launchFailure(executable, describe(e))};
  }
  if (int e = attributes.resetSignals(); e != 0) return LaunchFailed{launchFailure(executable, describe(e))};

  // argv strings must be writable char*; keep copies alive across the spawn.
  std::vector<std::string> storage;
  storage.reserve(arguments.size() + 1);
  storage.push_back(executable);
  storage.insert(storage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(storage.size() + 1);
  for (auto& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (int e = ::posix_spawn(&pid, executable.c_str(), actions.get(), attributes.get(), argv.data(), environ); e != 0) {
    return LaunchFailed{launchFailure(executable, describe(e))};
  }

  // Only the child may hold the write ends now, so end of file means it
  // closed its streams.
  out->writeEnd.reset();
  err->writeEnd.reset();

  Completed completed;
  const int readError = drain(out->readEnd, err->readEnd, completed.standardOutput, completed.standardError);
  // On a read error, closing our ends lets a still-writing child finish.
  out->readEnd.reset();
  err->readEnd.reset();

  int waitStatus = 0;
  if (int e = reap(pid, waitStatus); e != 0) {
    return LaunchFailed{"waiting for " + executable + " failed: " + describe(e)};
  }
  if (readError != 0) {
    return LaunchFailed{"reading the output of " + executable + " failed: " + describe(readError)};
  }
  completed.status = exitStatus(waitStatus);
  return completed;
}

}  // namespace lumaro::process
