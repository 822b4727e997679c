#include "station/Faults.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sorvane::station {

namespace {
constexpr std::array<std::pair<FaultKind, std::string_view>, 5> kNames { {
    { FaultKind::Delay, "delay" },
    { FaultKind::Status, "status" },
    { FaultKind::Drop, "drop" },
    { FaultKind::Truncate, "truncate" },
    { FaultKind::Garbage, "garbage" },
} };
} // namespace

std::optional<FaultKind> faultKindFromName(std::string_view name)
{
    for (const auto &[kind, text] : kNames)
        if (text == name)
            return kind;
    return std::nullopt;
}

std::string_view faultKindName(FaultKind kind)
{
    for (const auto &[k, text] : kNames)
        if (k == kind)
            return text;
    return "?";
}

void FaultList::add(Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.push_back(std::move(fault));
}

void FaultList::clear()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

FaultPlan FaultList::take(std::string_view path)
{
    std::lock_guard lock(m_mutex);
    FaultPlan plan;
    for (auto &fault : m_faults) {
        if (fault.count == 0 || !path.starts_with(fault.pathPrefix))
            continue;
        if (fault.kind == FaultKind::Delay)
            plan.delayMs += fault.value;
        else if (!plan.action)
            plan.action = fault;
        else
            continue;
        if (fault.count > 0)
            --fault.count;
    }
    std::erase_if(m_faults, [](const Fault &f) { return f.count == 0; });
    return plan;
}

} // namespace sorvane::station
