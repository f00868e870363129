// The message codes Harbor's runtime and services answer or send. A code is a verb whose meaning
// depends on the port it reaches; the keys carry the objects.
#ifndef HARBOR_RUNTIME_CODES_H
#define HARBOR_RUNTIME_CODES_H

#include <cstdint>

namespace harbor::code {

inline constexpr uint16_t kClose = 30003;        // HarborPort: the module confirms a quit
inline constexpr uint16_t kOpenAddress = 30009;  // HarborPort: open the address in STRING
inline constexpr uint16_t kGet = 30011;          // RegionalPort: the current date
inline constexpr uint16_t kStart = 30013;        // ResPort: load; AppPort: bind a resource
inline constexpr uint16_t kQuitQuery = 30026;    // PM: may the application close? (AOK)
inline constexpr uint16_t kEntered = 30032;      // PM: start the module
inline constexpr uint16_t kTick = 30040;         // TimerPortTick, TimerPortSeconds
inline constexpr uint16_t kLeft = 30041;         // PM: stop the module
inline constexpr uint16_t kQuery = 30049;        // RegionalPort: format a date
inline constexpr uint16_t kSet = 30052;          // AppPort: PMDATA merges into the plug-in data
inline constexpr uint16_t kStop = 30059;         // AppPort: release a resource; HarborPort: end

inline constexpr uint16_t kFirst = 30001;  // numeric codes lie in [kFirst, kLast]
inline constexpr uint16_t kLast = 30093;

}  // namespace harbor::code

#endif
