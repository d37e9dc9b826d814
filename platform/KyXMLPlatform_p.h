// KyXMLPlatform: brackets a piece of work with the Xerces platform's
// initialisation and termination. Internal to the platform library.
#pragma once

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <mutex>

/// Initialises the Xerces platform on construction and terminates it on
/// destruction when the initialisation succeeded. The two nest, so work
/// bracketed this way runs whether or not the caller initialised Xerces.
///
/// Xerces counts its initialisations without a lock, and its termination
/// frees what other threads may be using: every call made here goes
/// through one mutex, so that documents are read and written on several
/// threads at once, each keeping the platform up while it works. A program
/// that initialises Xerces itself, before it starts threads, spares every
/// document the platform's set-up and tear-down.
class KyXMLPlatform {
public:
  KyXMLPlatform() {
    const std::lock_guard<std::mutex> lock(mutex());
    try {
      xercesc::XMLPlatformUtils::Initialize();
      ready_ = true;
    } catch (const xercesc::XMLException&) {
      ready_ = false;
    }
  }
  ~KyXMLPlatform() {
    if (ready_) {
      const std::lock_guard<std::mutex> lock(mutex());
      xercesc::XMLPlatformUtils::Terminate();
    }
  }
  KyXMLPlatform(const KyXMLPlatform&) = delete;
  KyXMLPlatform& operator=(const KyXMLPlatform&) = delete;

  /// False when the platform could not be initialised.
  bool ready() const { return ready_; }

private:
  static std::mutex& mutex() {
    static std::mutex calls;
    return calls;
  }

  bool ready_;
};
