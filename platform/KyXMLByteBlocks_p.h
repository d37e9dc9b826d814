// KyXMLByteBlocks: the bytes of a document being written. Internal to the
// platform library.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

/// Bytes collected in blocks, so that growing never copies what was
/// written; handed out as one array, or block by block, at the end. Or,
/// after handOff(), handed out as each block fills, in one block of room
/// used again and again, so that the bytes are never held whole.
class KyXMLByteBlocks {
public:
  /// What takes the bytes of a full block: `length` bytes at `bytes`,
  /// valid during the call only.
  using Take = std::function<void(const unsigned char* bytes, std::size_t length)>;

  /// Hands every full block, and on flush() the rest, to `take` from now
  /// on. Call before anything is written.
  void handOff(Take take) { take_ = std::move(take); }
  /// Hands the bytes not handed yet to the taker of handOff().
  void flush();
  /// Room for at least `size` more bytes at pEnd().
  void reserve(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - end_) < size)
      grow(size);
  }
  unsigned char*& pEnd() { return end_; }
  /// Appends `length` bytes.
  void append(const unsigned char* bytes, std::size_t length);
  /// Bytes written so far, those handed off included.
  std::size_t size() const;
  /// A new array holding `prefix`, the bytes, `suffix` and a zero byte; the
  /// blocks are freed one by one as they are copied, so the bytes are held
  /// about once. Leaves this empty.
  unsigned char* release(const char* prefix = "", const char* suffix = "");
  /// Calls `take(bytes, length)` on each block in order.
  template <typename Take> void forEachBlock(Take take) const {
    for (std::size_t i = 0; i < blocks_.size(); ++i)
      take(blocks_[i].get(), i + 1 < blocks_.size() ? used_[i] : lastUsed());
  }

private:
  void grow(std::size_t size);
  std::size_t lastUsed() const {
    return blocks_.empty() ? 0 : static_cast<std::size_t>(end_ - blocks_.back().get());
  }

  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  std::vector<std::size_t> used_; // bytes in each block but the last
  Take take_;
  std::size_t handed_ = 0; // bytes handed to take_
  unsigned char* end_ = nullptr;
  unsigned char* limit_ = nullptr;
};

/// What DOMLSSerializer writes before the document element of a document.
constexpr char kyXMLDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>";
