// KyXMLParserMemory: the memory Xerces parsers work in. Internal to the
// platform library.
#pragma once

#include <xercesc/framework/MemoryManager.hpp>

#include <cstddef>
#include <mutex>
#include <vector>

/// Heap memory for Xerces parsers that keeps a few large blocks freed by
/// one parse for the next. Every parse makes a reader whose buffers take
/// some 160 KB; made afresh for each document, that block is mapped and
/// unmapped every time, which costs more than parsing a small document.
///
/// Blocks of kLargeBlock bytes or more go back to a cache of at most
/// kKeptBlocks blocks, the oldest dropped first; an allocation of the same
/// size takes one back. Smaller blocks go to the global heap at once. One
/// instance serves the whole process; its calls are safe on several threads
/// at once, and the cache frees its blocks at exit. Failing allocations
/// throw OutOfMemoryException, as Xerces' own memory manager does.
class KyXMLParserMemory : public xercesc::MemoryManager {
public:
  static constexpr std::size_t kLargeBlock = 64 * 1024;
  static constexpr std::size_t kKeptBlocks = 4;

  /// The process's instance.
  static KyXMLParserMemory& shared();

  KyXMLParserMemory();
  ~KyXMLParserMemory() override;
  KyXMLParserMemory(const KyXMLParserMemory&) = delete;
  KyXMLParserMemory& operator=(const KyXMLParserMemory&) = delete;

  /// A block of `size` bytes. Cost: a heap allocation, or a search of the
  /// few kept blocks for a large one.
  void* allocate(XMLSize_t size) override;
  /// Frees a block allocate() gave, or keeps it when it is large.
  void deallocate(void* block) override;
  /// Xerces' own memory manager; exceptions outlive the parser.
  xercesc::MemoryManager* getExceptionMemoryManager() override;

private:
  struct alignas(alignof(std::max_align_t)) Header {
    std::size_t size;
  };

  std::vector<Header*> kept_; // oldest first; capacity kKeptBlocks
  std::mutex mutex_;
};
