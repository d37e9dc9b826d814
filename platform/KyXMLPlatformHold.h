// KyXMLPlatformHold: keeps the XML platform set up for as long as it lives.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <memory>

class KyXMLPlatform;

/// Sets the Xerces platform up on construction and tears it down on
/// destruction, through the same lock as every document the libraries read
/// or write. While one lives, documents skip the platform's set-up and
/// tear-down, which a program that reads or writes many documents (a
/// service answering requests) would otherwise pay on every one. Safe to
/// make and drop on any thread, beside documents read on others. Not
/// copyable.
class KYPLATFORM_EXPORT KyXMLPlatformHold {
public:
  KyXMLPlatformHold();
  ~KyXMLPlatformHold();
  KyXMLPlatformHold(const KyXMLPlatformHold&) = delete;
  KyXMLPlatformHold& operator=(const KyXMLPlatformHold&) = delete;

  /// False when the platform could not be set up: each document then sets
  /// it up itself, or fails as it would without the hold.
  bool ready() const;

private:
  std::unique_ptr<KyXMLPlatform> platform_;
};
