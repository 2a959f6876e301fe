#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace lumio::test {

// The user and group that permission tests run as when the tests run as root, whom
// file permissions do not bind ("nobody" on Debian).
inline constexpr uid_t kUnprivilegedId = 65534;

inline bool RunningAsRoot() { return ::geteuid() == 0; }

// Lets the unprivileged user work in `folder` (a test's own temporary folder).
inline bool HandOverToUnprivilegedUser(const std::string& folder) {
  return !RunningAsRoot() || ::chown(folder.c_str(), kUnprivilegedId, kUnprivilegedId) == 0;
}

// Runs `body` in a child process that file permissions bind, and returns the text it
// returned (what it saw, for the test to compare). As root the child first becomes the
// unprivileged user; otherwise it keeps the current one. nullopt when the child could
// not give up root, so that the caller can skip. Assertions inside `body` are lost with
// the child: report through the returned text instead.
inline std::optional<std::string> RunWithoutRoot(const std::function<std::string()>& body) {
  int channel[2];
  if (::pipe(channel) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::close(channel[0]);
    if (RunningAsRoot() && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                            ::setuid(kUnprivilegedId) != 0)) {
      ::_exit(2);
    }
    std::string seen;
    try {
      seen = body();
    } catch (const std::exception& error) {
      seen = std::string("exception: ") + error.what();
    }
    for (std::size_t done = 0; done < seen.size();) {
      const ssize_t written = ::write(channel[1], seen.data() + done, seen.size() - done);
      if (written <= 0) ::_exit(3);
      done += static_cast<std::size_t>(written);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string seen;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) return "the child died of signal " + std::to_string(WTERMSIG(status));
  if (WEXITSTATUS(status) == 2) return std::nullopt;
  if (WEXITSTATUS(status) != 0)
    return "the child ended with " + std::to_string(WEXITSTATUS(status));
  return seen;
}

}  // namespace lumio::test
