#include "KyXMLParserMemory_p.h"

#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <iterator>
#include <new>

KyXMLParserMemory& KyXMLParserMemory::shared() {
  static KyXMLParserMemory memory;
  return memory;
}

KyXMLParserMemory::KyXMLParserMemory() { kept_.reserve(kKeptBlocks); }

KyXMLParserMemory::~KyXMLParserMemory() {
  for (Header* header : kept_)
    ::operator delete(header);
}

void* KyXMLParserMemory::allocate(XMLSize_t size) {
  if (size >= kLargeBlock) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
      if ((*it)->size == size) {
        Header* header = *it;
        kept_.erase(std::next(it).base());
        return header + 1;
      }
  }
  Header* header;
  try {
    header = static_cast<Header*>(::operator new(sizeof(Header) + size));
  } catch (const std::bad_alloc&) {
    throw xercesc::OutOfMemoryException();
  }
  header->size = size;
  return header + 1;
}

void KyXMLParserMemory::deallocate(void* block) {
  if (block == nullptr)
    return;
  Header* header = static_cast<Header*>(block) - 1;
  if (header->size >= kLargeBlock) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (kept_.size() == kKeptBlocks) {
      ::operator delete(kept_.front());
      kept_.erase(kept_.begin());
    }
    // Within the capacity reserved up front: never allocates.
    kept_.push_back(header);
    return;
  }
  ::operator delete(header);
}

xercesc::MemoryManager* KyXMLParserMemory::getExceptionMemoryManager() {
  return xercesc::XMLPlatformUtils::fgMemoryManager;
}
