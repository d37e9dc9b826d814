#include <kyformats/KyInputPieces.h>

#include <kyformats/KyInputFile.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

KyInputPieces::~KyInputPieces() {
  if (owned_)
    close(descriptor_);
}

bool KyInputPieces::open(const std::string& path, std::string& error) {
  path_ = path;
  if (path == "-") {
    descriptor_ = STDIN_FILENO;
  } else {
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) {
      error = KyInputFile::cannotRead(path, errno);
      ended_ = true;
      return false;
    }
    owned_ = true;
  }
  struct stat status {};
  if (fstat(descriptor_, &status) == 0) {
    if (S_ISDIR(status.st_mode)) {
      error = KyInputFile::cannotRead(path, EISDIR);
      ended_ = true;
      return false;
    }
    if (S_ISREG(status.st_mode))
      size_ = static_cast<std::size_t>(status.st_size);
  }
  return true;
}

bool KyInputPieces::next(std::string& bytes, std::size_t most, std::string& error) {
  if (ended_)
    return false;
  const std::size_t used = bytes.size();
  bytes.resize(used + most);
  ssize_t got = 0;
  do
    got = ::read(descriptor_, bytes.data() + used, most);
  while (got < 0 && errno == EINTR);
  const int failure = got < 0 ? errno : 0;
  bytes.resize(used + static_cast<std::size_t>(got > 0 ? got : 0));
  if (got > 0)
    return true;
  ended_ = true;
  if (failure != 0)
    error = KyInputFile::cannotRead(path_, failure);
  return false;
}
