#pragma once
// Faults a station injects into its replies, for tests of the client's failure paths.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::station {

enum class FaultKind {
    Delay, // wait value ms before answering (then answer normally or with another fault)
    Status, // answer with status value (default 500) and a small HTML error page
    Drop, // close the connection without sending a byte
    Truncate, // announce the full length, send value bytes (default half) and close
    Garbage, // answer 200 with value (default 512) bytes of binary junk instead of the body
};

std::optional<FaultKind> faultKindFromName(std::string_view name);
std::string_view faultKindName(FaultKind kind);

struct Fault
{
    std::string pathPrefix; // applies to request paths starting with this; "" = every path
    FaultKind kind = FaultKind::Status;
    int value = 0; // 0 = the kind's default
    int count = -1; // number of requests it applies to; -1 = until cleared
};

// What to do with one request: the sum of the delays that match it and at most one
// other fault (the first added that matches).
struct FaultPlan
{
    int delayMs = 0;
    std::optional<Fault> action;
};

// Thread-safe list of faults.
class FaultList
{
public:
    void add(Fault fault);
    void clear();
    // Picks the faults for a request path and uses up one of each picked fault's count.
    FaultPlan take(std::string_view path);

private:
    std::mutex m_mutex;
    std::vector<Fault> m_faults;
};

} // namespace sorvane::station
