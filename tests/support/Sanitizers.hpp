#pragma once

namespace test_support {

/// True in a build with AddressSanitizer. There, freed memory waits in a quarantine and every
/// block carries red zones, so a process's resident memory grows by design and says nothing
/// about leaks; the leak check at each process's exit covers those instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace test_support
