#include "services/core/CanParameters.h"

#include "common/Format.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace plendoro {

namespace {

struct KnownPgn {
    std::uint16_t pgn;
    const char* name;
};

constexpr KnownPgn kKnownPgns[] = {
    {0xF003, "Педаль акселератора"},     {0xF004, "Обороты двигателя"}, {0xFEC0, "Пробег до следующего ТО"},
    {0xFEC1, "Пробеги автомобиля"},      {0xFEE5, "Моточасы"},          {0xFEE9, "Общий расход топлива"},
    {0xFEEA, "Весовая нагрузка на оси"}, {0xFEEE, "Температуры масла"}, {0xFEF1, "Скорость, состояние педалей"},
};

const KnownPgn* FindKnown(std::uint32_t id)
{
    const std::uint16_t pgn = CanPgn(id);
    for (const KnownPgn& k : kKnownPgns)
        if (k.pgn == pgn)
            return &k;
    return nullptr;
}

constexpr bool Bit(std::uint32_t word, int bit)
{
    return ((word >> bit) & 1u) != 0;
}

// One item of the description: its "(НД)" text when the device marked the
// value as missing, else the value in its own format.
void Item(std::string& text, bool noData, const char* noDataText, const char* valueFormat, int value)
{
    text += noData ? std::string(noDataText) : Format(valueFormat, value);
}

int Signed(std::uint32_t word)
{
    return static_cast<int>(static_cast<std::int32_t>(word));
}

int Field(std::uint32_t word, int shift, std::uint32_t mask)
{
    return static_cast<int>((word >> shift) & mask);
}

std::string DecodedItems(const TCANId_V3& e)
{
    const std::uint32_t dA = e.dA;
    const std::uint32_t dB = e.dB;
    std::string t;
    switch (CanPgn(e.Id)) {
    case 0xF003: Item(t, Bit(dA, 8), "Педаль акселератора(НД)", "Педаль акселератора(%d)", Field(dA, 16, 0xFF)); break;
    case 0xF004: t = "Обороты двигателя"; break;
    case 0xFEC0:
        Item(t, Bit(dA, 8), "Пробег до следующего ТО(НД)", "Пробег до следующего ТО(%d)", Field(dA, 8, 0xFFFF));
        break;
    case 0xFEC1:
        Item(t, dA == 0xFFFFFFFFu, "Общий пробег автомобиля(НД)\r\n", "Общий пробег автомобиля(%d)\r\n", Signed(dA));
        Item(t, Bit(dB, 3), "Дневной пробег автомобиля(НД)", "Дневной пробег автомобиля(%d)", Field(dB, 3, 0xFFFF));
        break;
    case 0xFEE5: Item(t, dA == 0xFFFFFFFFu, "Моточасы(НД)", "Моточасы(%d)", Signed(dA)); break;
    case 0xFEE9: Item(t, dB == 0xFFFFFFFFu, "Общий расход топлива(НД)", "Общий расход топлива(%d)", Signed(dB)); break;
    case 0xFEEA:
        if (Bit(dA, 16))
            t = "Весовая нагрузка на оси(НД)";
        else
            t = Format("Весовая нагрузка на ось %d колесо %d (%d)", Field(dA, 4, 0xF), Field(dA, 0, 0xF),
                       Field(dA, 16, 0xFF));
        break;
    case 0xFEEE:
        Item(t, Bit(dA, 16), "Температура масла(НД)\r\n", "Температура масла(%d)\r\n", Field(dA, 16, 0xFFFF));
        Item(t, Bit(dA, 0), "Температура охлаждающей жидкости(НД)\r\n", "Температура охлаждающей жидкости(%d)\r\n",
             Field(dA, 0, 0xFF));
        Item(t, Bit(dA, 8), "Температура топлива(НД)", "Температура топлива(%d)", Field(dA, 8, 0xFF));
        break;
    case 0xFEF1:
        Item(t, Bit(dA, 16), "Скорость(НД)\r\n", "Скорость(%d)\r\n", Field(dA, 16, 0xFF));
        Item(t, Bit(dA, 24), "Круиз контроль(НД)\r\n", "Круиз контроль(%d)\r\n", Field(dA, 24, 3));
        Item(t, Bit(dA, 28), "Педаль тормоза(НД)\r\n", "Педаль тормоза(%d)\r\n", Field(dA, 28, 3));
        Item(t, Bit(dA, 30), "Ручной тормоз(НД)\r\n", "Ручной тормоз(%d)\r\n", Field(dA, 30, 3));
        Item(t, Bit(dA, 2), "Педаль сцепления(НД)", "Педаль сцепления(%d)", Field(dA, 2, 3));
        break;
    case kFuelLevelPgn:
        if (Bit(dA, 8))
            t = Format("Уровень топлива в баке %d (НД)", int(CanSourceAddress(e.Id)));
        else
            t = Format("Уровень топлива в баке %d (%d)", int(CanSourceAddress(e.Id)), Field(dA, 8, 0xFF));
        break;
    default: t = Format("Неизвестный параметр (0x%08X)", unsigned(e.Id)); break;
    }
    return t;
}

} // namespace

bool IsKnownCanPgn(std::uint32_t id)
{
    return FindKnown(id) != nullptr;
}

bool IsFuelCanPgn(std::uint32_t id)
{
    return CanPgn(id) == kFuelLevelPgn;
}

bool IsUserCanPgn(std::uint32_t id)
{
    return !IsKnownCanPgn(id) && !IsFuelCanPgn(id);
}

bool FindCanParameter(const std::vector<TCANId_V3>& found, std::uint32_t id)
{
    return std::any_of(found.begin(), found.end(), [id](const TCANId_V3& e) { return e.Id == id; });
}

std::string CanParameterName(const TCANId_V3& entry)
{
    if (const KnownPgn* k = FindKnown(entry.Id))
        return k->name;
    if (IsFuelCanPgn(entry.Id))
        return Format("Уровень топлива в баке(%d)", int(CanSourceAddress(entry.Id)));
    return "Неизвестный параметр";
}

std::string CanDetailText(const TCANId_V3& entry)
{
    return DecodedItems(entry) + Format("\r\nRAW Data: ID0x%08X, dA=0x%08X, dB=0x%08X", unsigned(entry.Id),
                                        unsigned(entry.dA), unsigned(entry.dB));
}

std::vector<std::string> CanDetailLines(const TCANId_V3& entry)
{
    const std::string text = CanDetailText(entry);
    std::vector<std::string> lines;
    std::string_view rest(text);
    for (;;) {
        const std::size_t at = rest.find("\r\n");
        lines.emplace_back(rest.substr(0, at));
        if (at == std::string_view::npos)
            break;
        rest.remove_prefix(at + 2);
    }
    return lines;
}

} // namespace plendoro
