// Self-registration: both classes (apartment threading, ProgIDs, type library) and the type
// library itself; unregistration removes every key registration wrote.
#pragma once

#include <windows.h>

namespace sarnlink::com {

HRESULT RegisterComponent() noexcept;
HRESULT UnregisterComponent() noexcept;

}  // namespace sarnlink::com
