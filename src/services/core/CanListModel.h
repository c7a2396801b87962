#pragma once
// The CAN page's four lists as a view of the found identifiers: which entry
// each line shows, with what text and in what order, and the rules for
// marking an entry as recorded. The widgets only copy this view.
#include "model/Structs.h"

#include <cstddef>
#include <string>
#include <vector>

namespace plendoro {

// The device records at most this many fuel levels and user parameters.
constexpr std::size_t kMaxCanFuelLines = 6;
constexpr std::size_t kMaxCanUserLines = 4;
// A user parameter covers six of the frame's eight data bytes.
constexpr std::uint8_t kMaxCanWindow = 2;

struct CanListLine {
    std::size_t entry = 0; // index into the found list
    std::string text;      // UTF-8
};

struct CanListLines {
    std::vector<CanListLine> found;  // every entry, in found order
    std::vector<CanListLine> common; // recorded known parameters, in found order
    std::vector<CanListLine> fuel;   // recorded fuel levels, by Order
    std::vector<CanListLine> user;   // recorded user parameters, by Order
};

// A user line: the name and the data bytes of its window, counted from 1.
std::string CanUserLineText(const TCANId_V3& entry);

// Orders lines by their entries' Order with the plain exchange sort the
// device's tools use: line j is exchanged with line i (i < j) when its Order
// is smaller. Lines of equal Order are never exchanged with each other, yet
// an exchange with a third line can still reverse them.
void SortCanLinesByOrder(std::vector<CanListLine>& lines, const std::vector<TCANId_V3>& entries);

// The four lists for the entries; only entries whose Used is 1 are listed
// as recorded.
CanListLines BuildCanListLines(const std::vector<TCANId_V3>& entries);

enum class CanAddResult { Added, FuelLimit, UserLimit };

// Marks an entry as recorded. A fuel or user entry not yet recorded takes
// the current line count of its list as its Order, unless the list is full;
// an entry already recorded is left as it is.
CanAddResult MarkCanParameterUsed(TCANId_V3& entry, std::size_t fuelLines, std::size_t userLines);

// Takes an entry off the recorded lists.
void UnmarkCanParameter(TCANId_V3& entry);

} // namespace plendoro
