#include <kyplatform/KyXMLPlatformHold.h>

#include "KyXMLPlatform_p.h"

KyXMLPlatformHold::KyXMLPlatformHold() : platform_(std::make_unique<KyXMLPlatform>()) {}

KyXMLPlatformHold::~KyXMLPlatformHold() = default;

bool KyXMLPlatformHold::ready() const { return platform_->ready(); }
