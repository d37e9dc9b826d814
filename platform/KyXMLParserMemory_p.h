// KyXMLParserMemory: the memory a Xerces parser works in. Internal to the
// platform library.
#pragma once

#include <xercesc/framework/MemoryManager.hpp>

#include <array>
#include <cstddef>
#include <vector>

/// Heap memory for one Xerces parser that keeps what a parse freed for the
/// next parse. A parser kept for many reads makes the same objects on every
/// read (its reader's buffers of some 160 KB, the declarations it makes for
/// every element name of a document without a DTD), and frees some of them
/// only when the next parse starts. Kept here, a parser at its steady state
/// takes nothing from the global heap: reads cost less, and a read of a
/// document like the ones before it neither grows nor shrinks the heap.
///
/// A freed block of up to kSmallBlock bytes goes to a list for its size,
/// rounded up to kStep bytes, while the kept small blocks stay within
/// kKeptBytes; a larger one of up to kLargestKept bytes goes to a list of
/// at most kKeptLarge blocks, the oldest dropped first, which an allocation
/// of the same size takes back. Everything else goes back to the heap at
/// once: the lists of children that the parser grows by a quarter at a time
/// for an element with many children are not kept. One instance serves
/// one parser on one thread and must outlive it; what it keeps is freed
/// with it. Failing allocations throw OutOfMemoryException, as Xerces' own
/// memory manager does.
class KyXMLParserMemory : public xercesc::MemoryManager {
public:
  static constexpr std::size_t kStep = 16;
  static constexpr std::size_t kSmallBlock = 4096;
  static constexpr std::size_t kKeptBytes = 1 << 20;
  static constexpr std::size_t kKeptLarge = 8;
  static constexpr std::size_t kLargestKept = 1 << 18;

  KyXMLParserMemory() { large_.reserve(kKeptLarge); }
  ~KyXMLParserMemory() override;
  KyXMLParserMemory(const KyXMLParserMemory&) = delete;
  KyXMLParserMemory& operator=(const KyXMLParserMemory&) = delete;

  /// A block of `size` bytes. Cost: taking a kept block of its size, a
  /// search of the few kept large blocks, or a heap allocation.
  void* allocate(XMLSize_t size) override;
  /// Keeps a block allocate() gave for a later allocation, or frees it.
  void deallocate(void* block) override;
  /// Xerces' own memory manager; exceptions outlive the parser.
  xercesc::MemoryManager* getExceptionMemoryManager() override;
  /// Bytes taken from the heap and not given back: blocks in use and kept.
  std::size_t heldBytes() const { return heldBytes_; }

private:
  // In front of every block: its size (rounded up for a small block), or,
  // while the block is kept, the next kept block of its list.
  struct alignas(alignof(std::max_align_t)) Header {
    union {
      std::size_t size;
      Header* next;
    };
  };

  static constexpr std::size_t kSmallLists = kSmallBlock / kStep;

  // Gives a block back to the heap.
  void release(Header* header);

  std::array<Header*, kSmallLists> small_{}; // by size: kStep, 2 kStep, ...
  std::size_t smallBytes_ = 0;               // bytes of the kept small blocks
  std::vector<Header*> large_;               // oldest first
  std::size_t heldBytes_ = 0;
};
