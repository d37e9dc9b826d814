// KyXMLPlatform: brackets a piece of work with the Xerces platform's
// initialisation and termination. Internal to the platform library.
#pragma once

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

/// Initialises the Xerces platform on construction and terminates it on
/// destruction when the initialisation succeeded. The two nest, so work
/// bracketed this way runs whether or not the caller initialised Xerces.
class KyXMLPlatform {
public:
  KyXMLPlatform() {
    try {
      xercesc::XMLPlatformUtils::Initialize();
      ready_ = true;
    } catch (const xercesc::XMLException&) {
      ready_ = false;
    }
  }
  ~KyXMLPlatform() {
    if (ready_)
      xercesc::XMLPlatformUtils::Terminate();
  }
  KyXMLPlatform(const KyXMLPlatform&) = delete;
  KyXMLPlatform& operator=(const KyXMLPlatform&) = delete;

  /// False when the platform could not be initialised.
  bool ready() const { return ready_; }

private:
  bool ready_;
};
