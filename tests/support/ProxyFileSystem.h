// The tests' forwarding file layer and stream: the platform's (platform/Forwarding.h) under the
// name every test double that wraps another file layer derives from.
#pragma once

#include <memory>

#include "platform/Forwarding.h"

namespace testsupport {

class ProxyFileStream : public plat::ForwardingFileStream {
 public:
  using ForwardingFileStream::ForwardingFileStream;
};

class ProxyFileSystem : public plat::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
};

}  // namespace testsupport
