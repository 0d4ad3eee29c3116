// The ports a converter object of the component reaches the world through: its own file
// system, diary backend, forms, clock and code page 932, and the progress window of the thread
// it runs on, which every converter of that thread shares.
#pragma once

#include <memory>

#include "interface/cls_mt_export.h"

namespace sarnlink::com {

class ComponentPorts {
 public:
  ComponentPorts();
  ~ComponentPorts();
  ComponentPorts(const ComponentPorts&) = delete;
  ComponentPorts& operator=(const ComponentPorts&) = delete;

  const ConverterPorts& get() const;

 private:
  struct Owned;
  std::unique_ptr<Owned> owned_;  // the object's own ports
};

}  // namespace sarnlink::com
