#include "services/core/CanListModel.h"

#include "services/core/CanParameters.h"

#include <utility>

namespace plendoro {

std::string CanUserLineText(const TCANId_V3& entry)
{
    const int first = entry.Window + 1;
    return CanParameterName(entry) + "; " + std::to_string(first) + "-" + std::to_string(first + 5) + " байты";
}

void SortCanLinesByOrder(std::vector<CanListLine>& lines, const std::vector<TCANId_V3>& entries)
{
    const std::size_t n = lines.size();
    for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (entries[lines[j].entry].Order < entries[lines[i].entry].Order)
                std::swap(lines[i], lines[j]);
}

CanListLines BuildCanListLines(const std::vector<TCANId_V3>& entries)
{
    CanListLines l;
    l.found.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TCANId_V3& e = entries[i];
        std::string name = CanParameterName(e);
        if (e.Used == 1) {
            if (IsKnownCanPgn(e.Id))
                l.common.push_back({i, name});
            else if (IsFuelCanPgn(e.Id))
                l.fuel.push_back({i, name});
            else
                l.user.push_back({i, CanUserLineText(e)});
        }
        l.found.push_back({i, std::move(name)});
    }
    SortCanLinesByOrder(l.fuel, entries);
    SortCanLinesByOrder(l.user, entries);
    return l;
}

CanAddResult MarkCanParameterUsed(TCANId_V3& entry, std::size_t fuelLines, std::size_t userLines)
{
    if (entry.Used == 0) {
        if (IsFuelCanPgn(entry.Id)) {
            if (fuelLines >= kMaxCanFuelLines)
                return CanAddResult::FuelLimit;
            entry.Order = static_cast<std::uint8_t>(fuelLines);
        } else if (IsUserCanPgn(entry.Id)) {
            if (userLines >= kMaxCanUserLines)
                return CanAddResult::UserLimit;
            entry.Order = static_cast<std::uint8_t>(userLines);
        }
    }
    entry.Used = 1;
    return CanAddResult::Added;
}

void UnmarkCanParameter(TCANId_V3& entry)
{
    entry.Used = 0;
    entry.Order = 0;
}

} // namespace plendoro
