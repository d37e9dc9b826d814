#include <kyplatform/KyBase64Source.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr std::size_t kTextPiece = 1 << 16;
} // namespace

KyBase64Source::KyBase64Source(NextText text) : text_(std::move(text)), textPiece_(kTextPiece) {}

KyBase64Source::~KyBase64Source() = default;

bool KyBase64Source::next(unsigned char* into, std::size_t most, std::size_t& got) {
  while (taken_ == decoded_.size() && !ended_ && !failed_) {
    const std::size_t count = text_(textPiece_.data(), textPiece_.size());
    if (count == 0) {
      ended_ = true;
      failed_ = !decoder_.finish();
      break;
    }
    decoded_.resize(KyBase64Decoder::decodedRoom(count));
    const unsigned char* end = decoder_.add(
        reinterpret_cast<const unsigned char*>(textPiece_.data()), count, decoded_.data());
    failed_ = end == nullptr;
    decoded_.resize(failed_ ? 0 : static_cast<std::size_t>(end - decoded_.data()));
    taken_ = 0;
  }
  if (failed_)
    return false;
  got = std::min(most, decoded_.size() - taken_);
  if (got != 0)
    std::memcpy(into, decoded_.data() + taken_, got);
  taken_ += got;
  return true;
}

bool KyBase64Source::restIsBase64() {
  unsigned char rest[1 << 14];
  std::size_t got = 1;
  while (got != 0 && next(rest, sizeof rest, got)) {
  }
  return !failed_;
}
