// The tests' forwarding registry: the platform's (platform/Forwarding.h) under the name every
// test registry that wraps another one derives from.
#pragma once

#include "platform/Forwarding.h"

namespace testsupport {

class ProxyRegistry : public plat::ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
};

}  // namespace testsupport
