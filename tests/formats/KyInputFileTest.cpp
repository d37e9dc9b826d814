// Whole files read into one buffer: every byte, and a buffer no larger
// than the file needs, at and around the sizes where reading changes pace.
#include <kyformats/KyInputFile.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

class TemporaryFile {
public:
  explicit TemporaryFile(const std::string& bytes) {
    char pattern[] = "/tmp/ky-input-file-XXXXXX";
    const int descriptor = mkstemp(pattern);
    close(descriptor);
    path_ = pattern;
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TemporaryFile() { std::remove(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

TEST(KyInputFileTest, ReadsEveryByteIntoABufferTheSizeOfTheFile) {
  constexpr std::size_t kBlock = 1 << 20;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 7}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
      bytes[i] = static_cast<char>(i * 7 + i / 251);
    const TemporaryFile file(bytes);
    std::string read = "left from before";
    std::string error;
    ASSERT_TRUE(KyInputFile::read(file.path(), read, error)) << size << ": " << error;
    EXPECT_EQ(read, bytes) << size;
    EXPECT_LE(read.capacity(), size + 64) << size;
    EXPECT_TRUE(error.empty());
  }
}

TEST(KyInputFileTest, AMissingFileOrADirectorySaysWhy) {
  std::string bytes, error;
  EXPECT_FALSE(KyInputFile::read("/nonexistent/ky-input-file", bytes, error));
  EXPECT_EQ(error, "/nonexistent/ky-input-file: cannot be read: no such file");
  error.clear();
  EXPECT_FALSE(KyInputFile::read("/tmp", bytes, error));
  EXPECT_EQ(error, "/tmp: cannot be read: is a directory");
}

} // namespace
