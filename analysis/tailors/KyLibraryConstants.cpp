#include "KyLibraryConstants_p.h"

#include <link.h>

namespace {
// A constant of this library: the read-only segment that holds it holds
// the analysis keys too.
const wchar_t kAnchor[] = L"anchor";

// dl_iterate_phdr() callback: records the loaded segment, not writable,
// that holds the anchor.
int findReadOnlySegment(dl_phdr_info* info, std::size_t, void*) {
  const auto anchor = reinterpret_cast<std::uintptr_t>(kAnchor);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD || (header.p_flags & PF_W) != 0)
      continue;
    const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
    if (anchor >= begin && anchor - begin < header.p_memsz) {
      KyLibraryConstants::begin = begin;
      KyLibraryConstants::end = begin + header.p_memsz;
      return 1;
    }
  }
  return 0;
}

// Finds the bounds as the library is loaded.
[[maybe_unused]] const int kFound = dl_iterate_phdr(findReadOnlySegment, nullptr);
} // namespace

std::uintptr_t KyLibraryConstants::begin = 0;
std::uintptr_t KyLibraryConstants::end = 0;
