// KyXMLWriteStop: lets a thread give up writing a long answer.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <functional>

/// While one lives on a thread, the answers written on that thread
/// (KyServiceOutputDataXMLWriter, and so KyAnalysisSerializer's answer
/// strings) ask `asked` after every 1024 results whether to go on; once it
/// says true, the write fails ("the write was stopped") and hands nothing
/// out. A service stops this way the answer of a client that has gone,
/// which can take longer to write than the run took. Scopes nest; other
/// threads are not affected. Not copyable.
class KYPLATFORM_EXPORT KyXMLWriteStop {
public:
  explicit KyXMLWriteStop(std::function<bool()> asked);
  ~KyXMLWriteStop();
  KyXMLWriteStop(const KyXMLWriteStop&) = delete;
  KyXMLWriteStop& operator=(const KyXMLWriteStop&) = delete;

  /// True when the innermost stop living on this thread asks to stop;
  /// false when none lives. O(1) plus the cost of `asked`.
  static bool requested();

private:
  std::function<bool()> asked_;
  const KyXMLWriteStop* previous_;
};
