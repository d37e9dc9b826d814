#include "KyXMLByteBlocks_p.h"

#include <algorithm>
#include <cstring>

namespace {
// Blocks start small, for the many short documents, and double up to the
// largest size, for the few long ones.
constexpr std::size_t kFirstBlock = std::size_t(1) << 12;
constexpr std::size_t kLargestBlock = std::size_t(1) << 20;
} // namespace

std::size_t KyXMLByteBlocks::size() const {
  std::size_t total = handed_ + lastUsed();
  for (std::size_t i = 0; i + 1 < blocks_.size(); ++i)
    total += used_[i];
  return total;
}

void KyXMLByteBlocks::grow(std::size_t size) {
  if (take_) {
    // One block of the largest size, written again once handed off.
    flush();
    if (!blocks_.empty() && static_cast<std::size_t>(limit_ - end_) >= size)
      return;
    const std::size_t capacity = std::max(kLargestBlock, size);
    blocks_.clear();
    blocks_.emplace_back(new unsigned char[capacity]);
    end_ = blocks_.back().get();
    limit_ = end_ + capacity;
    return;
  }
  if (!blocks_.empty())
    used_.push_back(lastUsed());
  const std::size_t next =
      blocks_.empty()
          ? kFirstBlock
          : std::min(2 * static_cast<std::size_t>(limit_ - blocks_.back().get()), kLargestBlock);
  const std::size_t capacity = std::max(next, size);
  // Not zero-filled: every byte handed out is written first.
  blocks_.emplace_back(new unsigned char[capacity]);
  end_ = blocks_.back().get();
  limit_ = end_ + capacity;
}

void KyXMLByteBlocks::flush() {
  if (blocks_.empty() || end_ == blocks_.back().get())
    return;
  take_(blocks_.back().get(), lastUsed());
  handed_ += lastUsed();
  end_ = blocks_.back().get();
}

void KyXMLByteBlocks::append(const unsigned char* bytes, std::size_t length) {
  reserve(length);
  std::memcpy(end_, bytes, length);
  end_ += length;
}

unsigned char* KyXMLByteBlocks::release(const char* prefix, const char* suffix) {
  const std::size_t before = std::strlen(prefix);
  const std::size_t after = std::strlen(suffix);
  const std::size_t total = before + size() + after;
  auto* bytes = new unsigned char[total + 1];
  unsigned char* out = bytes;
  std::memcpy(out, prefix, before);
  out += before;
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    const std::size_t used = i + 1 < blocks_.size() ? used_[i] : lastUsed();
    std::memcpy(out, blocks_[i].get(), used);
    out += used;
    blocks_[i].reset();
  }
  std::memcpy(out, suffix, after);
  out += after;
  *out = 0;
  blocks_.clear();
  used_.clear();
  end_ = limit_ = nullptr;
  return bytes;
}
