#include <kyformats/KyInputFile.h>

#include <kyformats/KyFormatText.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KyInputFile {
namespace {

std::string reason(int error) {
  switch (error) {
  case ENOENT:
    return "no such file";
  case EISDIR:
    return "is a directory";
  case EACCES:
  case EPERM:
    return "permission denied";
  case ENOTDIR:
    return "a part of the path is not a directory";
  default:
    return std::strerror(error);
  }
}

/// Appends everything `descriptor` holds to `bytes`; 0, or the errno.
int readAll(int descriptor, std::string& bytes) {
  struct stat status {};
  if (fstat(descriptor, &status) == 0) {
    if (S_ISDIR(status.st_mode))
      return EISDIR;
    // One byte more, so that the read which meets the end finds room left
    // and the buffer never grows past the file.
    if (S_ISREG(status.st_mode))
      bytes.reserve(static_cast<std::size_t>(status.st_size) + 1);
  }
  constexpr std::size_t kBlock = 1 << 20;
  for (;;) {
    // Fill the room the buffer has; only a full buffer grows, by a block.
    const std::size_t used = bytes.size();
    const std::size_t room = bytes.capacity() > used ? bytes.capacity() - used : kBlock;
    bytes.resize(used + room);
    const ssize_t got = ::read(descriptor, bytes.data() + used, room);
    if (got < 0 && errno == EINTR) {
      bytes.resize(used);
      continue;
    }
    bytes.resize(used + static_cast<std::size_t>(got > 0 ? got : 0));
    if (got < 0)
      return errno;
    if (got == 0)
      return 0;
  }
}

} // namespace

std::string shownPath(const std::string& path) {
  return path == "-" ? "standard input" : KyFormatText::escaped(path);
}

std::string cannotRead(const std::string& path, int failure) {
  return shownPath(path) + ": cannot be read: " + reason(failure);
}

bool read(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  int failure = 0;
  if (path == "-") {
    failure = readAll(STDIN_FILENO, bytes);
  } else {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
      failure = errno;
    } else {
      failure = readAll(descriptor, bytes);
      close(descriptor);
    }
  }
  if (failure != 0)
    error = cannotRead(path, failure);
  return failure == 0;
}

bool sameFile(const std::string& output, const std::string& input) {
  struct stat out {
  }, in{};
  return output != "-" && input != "-" && stat(output.c_str(), &out) == 0 &&
         stat(input.c_str(), &in) == 0 && out.st_dev == in.st_dev && out.st_ino == in.st_ino;
}

} // namespace KyInputFile
