#include "KyXMLParserMemory_p.h"

#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <iterator>
#include <new>

namespace {
// The list index of a small block of `size` bytes (size > 0).
std::size_t smallList(std::size_t size) { return (size - 1) / KyXMLParserMemory::kStep; }
} // namespace

KyXMLParserMemory::~KyXMLParserMemory() {
  for (Header* list : small_)
    while (list != nullptr) {
      Header* next = list->next;
      ::operator delete(list);
      list = next;
    }
  for (Header* header : large_)
    ::operator delete(header);
}

void* KyXMLParserMemory::allocate(XMLSize_t size) {
  std::size_t room = size;
  if (size <= kSmallBlock) {
    const std::size_t list = smallList(size > 0 ? size : 1);
    room = (list + 1) * kStep;
    if (Header* kept = small_[list]) {
      small_[list] = kept->next;
      smallBytes_ -= room;
      kept->size = room;
      return kept + 1;
    }
  } else {
    for (auto it = large_.rbegin(); it != large_.rend(); ++it)
      if ((*it)->size == size) {
        Header* kept = *it;
        large_.erase(std::next(it).base());
        return kept + 1;
      }
  }
  Header* header;
  try {
    header = static_cast<Header*>(::operator new(sizeof(Header) + room));
  } catch (const std::bad_alloc&) {
    throw xercesc::OutOfMemoryException();
  }
  header->size = room;
  heldBytes_ += sizeof(Header) + room;
  return header + 1;
}

void KyXMLParserMemory::deallocate(void* block) {
  if (block == nullptr)
    return;
  Header* header = static_cast<Header*>(block) - 1;
  const std::size_t size = header->size;
  if (size > kLargestKept || (size <= kSmallBlock && smallBytes_ + size > kKeptBytes)) {
    release(header);
    return;
  }
  if (size <= kSmallBlock) {
    Header*& list = small_[smallList(size)];
    header->next = list;
    list = header;
    smallBytes_ += size;
    return;
  }
  if (large_.size() == kKeptLarge) {
    release(large_.front());
    large_.erase(large_.begin());
  }
  large_.push_back(header);
}

void KyXMLParserMemory::release(Header* header) {
  heldBytes_ -= sizeof(Header) + header->size;
  ::operator delete(header);
}

xercesc::MemoryManager* KyXMLParserMemory::getExceptionMemoryManager() {
  return xercesc::XMLPlatformUtils::fgMemoryManager;
}
