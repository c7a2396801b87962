#include "model/FieldText.h"

#include "common/Cp1251.h"

#include <algorithm>

namespace plendoro {

std::string BlockText(std::span<const std::uint8_t> field)
{
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return Cp1251ToUtf8(std::string(field.begin(), end));
}

} // namespace plendoro
