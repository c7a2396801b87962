#include "editor/binding/EditorBinding.h"

#include "editor/Editor.h"
#include "editor/binding/FieldAccess.h"

#include <array>
#include <functional>
#include <span>
#include <type_traits>

namespace plendoro {

namespace {

// A field's name from its table pattern: in a family, "%1" stands for the
// member's number (1 for the first), elsewhere the pattern is the name.
QString FieldName(const QString& pattern, int number)
{
    return number > 0 ? pattern.arg(number) : pattern;
}

// The access kinds: how a value of the struct is read from a field and set
// back, with FieldAccess's event habits (see there).
template <auto Getter, auto Setter = nullptr>
struct Access {
    static constexpr auto get = Getter;
    static constexpr auto set = Setter;
};
using Text = Access<&FieldAccess::Text, &FieldAccess::SetText>;
using Index = Access<&FieldAccess::Index, &FieldAccess::SetIndex>;
using Radio = Access<&FieldAccess::Radio, &FieldAccess::SetRadio>;
using Checked = Access<&FieldAccess::Checked, &FieldAccess::SetChecked>;
using Spin = Access<&FieldAccess::Spin, &FieldAccess::SetSpin>;
using Time = Access<&FieldAccess::Time, &FieldAccess::SetTime>;
using Items = Access<&FieldAccess::Items, &FieldAccess::SetItems>;
using Enabled = Access<&FieldAccess::Enabled, &FieldAccess::SetEnabled>;
// How many entries a list holds: the decoders need it, nothing sets it.
using Count = Access<&FieldAccess::Count>;

// One line of a block's table: the fields it names and how its values move
// between them and the struct. `number` is the family member's number, 0
// outside a family.
template <class V>
struct Row {
    std::vector<QString> patterns;
    int members = 0; // a family's member count; 0 for a line of its own
    std::function<void(FieldAccess&, V&, int number)> read;
    std::function<void(FieldAccess&, const V&, int number)> write; // empty: never set
};
template <class V>
using Table = std::vector<Row<V>>;

template <class T>
struct IsArray : std::false_type {};
template <class T, std::size_t N>
struct IsArray<std::array<T, N>> : std::true_type {};

// A member of the struct, or in a family the member's entry of an array.
template <class V, class M>
decltype(auto) At(V& values, M member, int number)
{
    auto& value = values.*member;
    if constexpr (IsArray<std::remove_cvref_t<decltype(value)>>::value)
        return value[static_cast<std::size_t>(number - 1)];
    else
        return (value);
}

template <class Kind, class V, class T>
Row<V> Field(const char* pattern, T V::*member)
{
    Row<V> row;
    row.patterns = {QLatin1String(pattern)};
    row.read = [=](FieldAccess& f, V& v, int n) { At(v, member, n) = (f.*Kind::get)(FieldName(pattern, n)); };
    if constexpr (!std::is_null_pointer_v<decltype(Kind::set)>)
        row.write = [=](FieldAccess& f, const V& v, int n) { (f.*Kind::set)(FieldName(pattern, n), At(v, member, n)); };
    return row;
}

// Like fields numbered 1..count whose values are entries of array members;
// the lines run in turn for member 1, then for member 2, and so on.
template <class V>
Row<V> Family(std::size_t members, const Table<V>& lines)
{
    const int count = static_cast<int>(members);
    Row<V> row;
    for (const Row<V>& line : lines)
        row.patterns.insert(row.patterns.end(), line.patterns.begin(), line.patterns.end());
    row.members = count;
    row.read = [=](FieldAccess& f, V& v, int) {
        for (int n = 1; n <= count; ++n)
            for (const Row<V>& line : lines)
                line.read(f, v, n);
    };
    row.write = [=](FieldAccess& f, const V& v, int) {
        for (int n = 1; n <= count; ++n)
            for (const Row<V>& line : lines)
                if (line.write)
                    line.write(f, v, n);
    };
    return row;
}

// The same for groups of fields whose values are records of an array.
template <class V, class E, std::size_t N>
Row<V> Family(std::array<E, N> V::*records, const Table<E>& lines)
{
    Table<V> lifted;
    for (const Row<E>& line : lines) {
        Row<V> row;
        row.patterns = line.patterns;
        row.read = [=](FieldAccess& f, V& v, int n) { line.read(f, (v.*records)[n - 1], n); };
        if (line.write)
            row.write = [=](FieldAccess& f, const V& v, int n) { line.write(f, (v.*records)[n - 1], n); };
        lifted.push_back(std::move(row));
    }
    return Family(N, lifted);
}

// Buttons of which at most one is checked, standing for one position
// (-1: none). Reading, the last checked one counts; a position out of
// range sets nothing.
template <class V>
Row<V> OneOf(const char* prefix, std::span<const char* const> suffixes, int V::*member)
{
    Row<V> row;
    for (const char* suffix : suffixes)
        row.patterns.push_back(QLatin1String(prefix) + QLatin1String(suffix));
    const std::vector<QString> patterns = row.patterns;
    auto name = [=](std::size_t i, int n) { return FieldName(patterns[i], n); };
    row.read = [=](FieldAccess& f, V& v, int n) {
        v.*member = -1;
        for (std::size_t i = 0; i < suffixes.size(); ++i)
            if (f.Checked(name(i, n)))
                v.*member = static_cast<int>(i);
    };
    row.write = [=](FieldAccess& f, const V& v, int n) {
        if (v.*member >= 0 && v.*member < static_cast<int>(suffixes.size()))
            f.SetChecked(name(static_cast<std::size_t>(v.*member), n), true);
    };
    return row;
}

// Two buttons of an exclusive pair, each read as its own tick. Setting
// checks the first when its value says so, else the second, and lets the
// pair untick the other: never both checked, never both clear.
template <class V>
Row<V> Either(const char* first, bool V::*firstMember, const char* second, bool V::*secondMember)
{
    const QString a = QLatin1String(first), b = QLatin1String(second);
    Row<V> row;
    row.patterns = {a, b};
    row.read = [=](FieldAccess& f, V& v, int) {
        v.*firstMember = f.Checked(a);
        v.*secondMember = f.Checked(b);
    };
    row.write = [=](FieldAccess& f, const V& v, int) { f.SetChecked(v.*firstMember ? a : b, true); };
    return row;
}

// The accelerometer values, which the editor holds without a field.
Row<MainConfValues> HeldAccelerometer()
{
    Row<MainConfValues> row;
    row.read = [](FieldAccess& f, MainConfValues& v, int) {
        const AccelerometerValues a = f.Editor().Accelerometer();
        v.dX = a.x;
        v.dY = a.y;
        v.dZ = a.z;
    };
    row.write = [](FieldAccess& f, const MainConfValues& v, int) { f.Editor().SetAccelerometer({v.dX, v.dY, v.dZ}); };
    return row;
}

constexpr const char* kModeSuffix[] = {"Base", "Count", "PCount", "Freq", "Motion"};

// Each block's fields in the order they are set back, which is the order
// the decoders set them in: setting a field can run its rule, so the order
// is part of what a read does to the editor.

const Table<MainConfValues>& MainTable()
{
    using V = MainConfValues;
    static const Table<V> table = {
        Field<Index>("cbWriteMethod", &V::cbWriteMethod), Field<Text>("edWritePeriod", &V::edWritePeriod),
        Field<Checked>("cbWideRecord", &V::cbWideRecord), Field<Checked>("cbStaticNav", &V::cbStaticNav),
        Field<Radio>("intGlonass", &V::intGlonass),       HeldAccelerometer(),
    };
    return table;
}

const Table<NetConfValues>& NetTable()
{
    using V = NetConfValues;
    static const Table<V> table = {
        Field<Text>("edSendPeriod", &V::edSendPeriod),
        Field<Text>("edPassword", &V::edPassword),
        Either("rbDHCPIp", &V::rbDHCPIp, "rbManualIp", &V::rbManualIp),
        Field<Text>("edIpAddress", &V::edIpAddress),
        Field<Text>("edIpMask", &V::edIpMask),
        Field<Text>("edDefGate", &V::edDefGate),
        Field<Index>("cbAuth", &V::cbAuth),
        Field<Radio>("rgWiFiType", &V::rgWiFiType),
        Field<Text>("edServer", &V::edServer),
        Field<Text>("edServerPort", &V::edServerPort),
        Field<Checked>("transfNMEA", &V::transfNMEA),
        Field<Text>("edIpUDPServer", &V::edIpUDPServer),
        Field<Text>("edPortUDPServer", &V::edPortUDPServer),
        Field<Index>("cbEncrypt", &V::cbEncrypt),
        Field<Text>("edWEPKey", &V::edWEPKey),
        Field<Text>("edSSID", &V::edSSID),
        Field<Count>("cbSendMethod", &V::cbSendMethodItems),
        Field<Index>("cbSendMethod", &V::cbSendMethod),
        Family<V>(kTransferTimeCount,
                  {
                      Field<Time>("edSendTime%1", &V::edSendTime),
                      Field<Text>("edOnTime%1", &V::edOnTime),
                  }),
        Field<Index>("cbwChanel", &V::cbwChanel),
    };
    return table;
}

const Table<InputsConfValues>& InputsTable()
{
    using V = InputsConfValues;
    using A = AnalogInputValues;
    using D = DigitalInputValues;
    static const Table<V> table = {
        Family(&V::analog,
               Table<A>{
                   Field<Checked>("cbAIn%1AsDigital", &A::cbAInAsDigital),
                   Field<Spin>("edAIn%1DigLevel", &A::edAInDigLevel),
                   Field<Checked>("cbAIn%1Adaptive", &A::cbAInAdaptive),
                   Field<Index>("cbAIn%1AdMethod", &A::cbAInAdMethod),
                   Field<Text>("edAIn%1AdLevel", &A::edAInAdLevel),
                   Field<Text>("edAIn%1AverPeriod", &A::edAInAverPeriod),
               }),
        Family(&V::input,
               Table<D>{
                   Field<Index>("cbIn%1Level", &D::cbInLevel),
                   Field<Checked>("cbIn%1Send", &D::cbInSend),
                   Field<Checked>("cbIn%1Cont", &D::cbInCont),
                   Field<Text>("edIn%1Duration", &D::edInDuration),
                   OneOf("rbIn%1", kModeSuffix, &D::rbInMode),
               }),
        Field<Text>("edCnt12SendPeriod", &V::edCnt12SendPeriod),
        Field<Text>("edCnt34SendPeriod", &V::edCnt34SendPeriod),
        Field<Text>("edCnt56SendPeriod", &V::edCnt56SendPeriod),
        Field<Text>("edCnt78SendPeriod", &V::edCnt78SendPeriod),
        Field<Text>("edAInWritePeriod", &V::edAInWritePeriod),
    };
    return table;
}

const Table<Rs485ConfValues>& Rs485Table()
{
    using V = Rs485ConfValues;
    static const Table<V> table = {
        Family<V>(kFuelSensorCount,
                  {
                      Field<Checked>("cbLLSAddr%1", &V::cbLLSAddr),
                      Field<Text>("edLLSAddr%1", &V::edLLSAddr),
                  }),
        Field<Text>("edLLSWritePeriod14", &V::edLLSWritePeriod14),
        Field<Text>("edLLSWritePeriod58", &V::edLLSWritePeriod58),
        Field<Index>("cbRS485Speed", &V::cbRS485Speed),
        Field<Checked>("cbRS485EnableGlonass", &V::cbRS485EnableGlonass),
        Field<Radio>("GlonassMode", &V::GlonassMode),
        Field<Enabled>("GlonassMode", &V::GlonassModeEnabled),
    };
    return table;
}

const Table<CanConfValues>& CanTable()
{
    using V = CanConfValues;
    static const Table<V> table = {
        Field<Text>("edCANPeriodSave", &V::edCANPeriodSave),
    };
    return table;
}

const Table<OneWireConfValues>& OneWireTable()
{
    using V = OneWireConfValues;
    static const Table<V> table = {
        Field<Checked>("cbIbReadAny", &V::cbIbReadAny),
        Field<Items>("lbIbAddrList", &V::lbIbAddrList),
        Field<Text>("edIbAddr", &V::edIbAddr),
        Field<Checked>("cbItempReadAll", &V::cbItempReadAll),
        Family<V>(kOneWireSensorCount,
                  {
                      Field<Checked>("cbItempAddr%1", &V::cbItempAddr),
                      Field<Text>("edItempAddr%1", &V::edItempAddr),
                  }),
        Field<Checked>("cbIbPulseOut1", &V::cbIbPulseOut1),
        Field<Checked>("cbIbPulseOut2", &V::cbIbPulseOut2),
        Field<Text>("edItempWritePeriod14", &V::edItempWritePeriod14),
        Field<Text>("edItempWritePeriod58", &V::edItempWritePeriod58),
        Field<Enabled>("edItempWritePeriod14", &V::edItempWritePeriod14Enabled),
        Field<Enabled>("edItempWritePeriod58", &V::edItempWritePeriod58Enabled),
    };
    return table;
}

// Widgets to struct: every line, in table order.
template <class V>
V ReadFields(SettingsEditor& editor, const Table<V>& table)
{
    FieldAccess f(editor);
    V values;
    for (const Row<V>& row : table)
        row.read(f, values, 0);
    return values;
}

// Struct to widgets: every line that sets its field, in table order.
template <class V>
void WriteFields(SettingsEditor& editor, const Table<V>& table, const V& values)
{
    FieldAccess f(editor);
    for (const Row<V>& row : table)
        if (row.write)
            row.write(f, values, 0);
}

template <class V>
void AppendNames(QStringList& names, const Table<V>& table)
{
    for (const Row<V>& row : table)
        for (int n = row.members ? 1 : 0; n <= row.members; ++n)
            for (const QString& pattern : row.patterns)
                names << FieldName(pattern, n);
}

} // namespace

MainConfValues ReadMainConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, MainTable());
}
void WriteMainConfValues(SettingsEditor& editor, const MainConfValues& v)
{
    WriteFields(editor, MainTable(), v);
}
NetConfValues ReadNetConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, NetTable());
}
void WriteNetConfValues(SettingsEditor& editor, const NetConfValues& v)
{
    WriteFields(editor, NetTable(), v);
}
InputsConfValues ReadInputsConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, InputsTable());
}
void WriteInputsConfValues(SettingsEditor& editor, const InputsConfValues& v)
{
    WriteFields(editor, InputsTable(), v);
}
Rs485ConfValues ReadRs485ConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, Rs485Table());
}
void WriteRs485ConfValues(SettingsEditor& editor, const Rs485ConfValues& v)
{
    WriteFields(editor, Rs485Table(), v);
}
CanConfValues ReadCanConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, CanTable());
}
void WriteCanConfValues(SettingsEditor& editor, const CanConfValues& v)
{
    WriteFields(editor, CanTable(), v);
}
OneWireConfValues ReadOneWireConfValues(SettingsEditor& editor)
{
    return ReadFields(editor, OneWireTable());
}
void WriteOneWireConfValues(SettingsEditor& editor, const OneWireConfValues& v)
{
    WriteFields(editor, OneWireTable(), v);
}

QStringList BoundFieldNames(BlockId block)
{
    QStringList names;
    switch (block) {
    case BlockId::Main: AppendNames(names, MainTable()); break;
    case BlockId::Net: AppendNames(names, NetTable()); break;
    case BlockId::Inputs: AppendNames(names, InputsTable()); break;
    case BlockId::Rs485: AppendNames(names, Rs485Table()); break;
    case BlockId::Can: AppendNames(names, CanTable()); break;
    case BlockId::OneWire: AppendNames(names, OneWireTable()); break;
    }
    return names;
}

void RunRulesAfterMainConf(SettingsEditor& editor)
{
    if (editor.recording)
        editor.recording->RecordingMethodRule();
}

void RunRulesAfterNetConf(SettingsEditor& editor)
{
    if (!editor.recording)
        return;
    editor.recording->SendMethodRule();
    editor.recording->EncryptionRule();
    editor.recording->AddressModeRule();
}

void RunRulesAfterInputsConf(SettingsEditor& editor)
{
    // A read or a loaded profile changes values, not where the user is.
    if (editor.inputs)
        editor.inputs->CaptionsToShownInputsPage();
    if (editor.analog) {
        editor.analog->AsDigitalRule(1);
        editor.analog->AsDigitalRule(2);
        editor.analog->AdaptiveRule(1);
        editor.analog->AdaptiveRule(2);
    }
    if (editor.inputs) {
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->InputModeRule(n);
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->LevelMirror(n);
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->DurationMirror(n);
    }
}

void RunRulesAfterRs485Conf(SettingsEditor& editor)
{
    if (editor.rs485)
        for (int n = 1; n <= kInputCount; ++n)
            editor.rs485->FuelSensorRule(n);
}

void RunRulesAfterCanConf(SettingsEditor& editor)
{
    if (editor.can)
        editor.can->RebuildCanLists();
}

void RunRulesAfterOneWireConf(SettingsEditor& editor)
{
    if (!editor.oneWire)
        return;
    editor.oneWire->IbReadAnyRule();
    for (int n = 1; n <= static_cast<int>(kOneWireSensorCount); ++n)
        editor.oneWire->SensorSlotRule(n);
    editor.oneWire->ReadAllRule();
}

} // namespace plendoro
