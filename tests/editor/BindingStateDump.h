#pragma once
// A text record of what decoding every settings block does to the full
// editor, for each firmware generation: every change a field signals during
// each step, in the order it happens, and the state of every named widget of
// the page set after the step, the first time in full and then only what
// the step changed. Reading a block runs the pages' rules through the
// signals of the fields it sets, in the order it sets them, so the record
// holds those side effects and their order as well as the values. BlockBindingTest compares it with the checked-in
// record; scripts/update-binding-golden.sh regenerates that on purpose.
#include "SampleValues.h"
#include "ScriptedDialogs.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/VersionGate.h"
#include "editor/binding/SettingsTransfer.h"
#include "model/Blocks.h"
#include "model/Conversions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTime>
#include <QTimeEdit>

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace binding_dump {

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

inline constexpr int kFirmwares[] = {250, 304, 305, 403};
inline constexpr int kHourOffset = 3;

inline bool Watched(const QWidget* w)
{
    // Unnamed widgets and the page sets' own scroll buttons are the
    // toolkit's, not the editor's.
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !qobject_cast<QTabBar*>(w->parentWidget());
}

// Every change the named widgets signal, in the order it happens.
class ChangeLog final : public QObject {
public:
    std::vector<std::string> changes;

    void Watch(QWidget* page)
    {
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!Watched(w))
                continue;
            const std::string name = w->objectName().toStdString();
            auto log = [this, name](const QString& what) { changes.push_back(name + " " + what.toStdString()); };
            if (auto* e = qobject_cast<QLineEdit*>(w))
                connect(e, &QLineEdit::textChanged, this, [log](const QString& t) { log("text=\"" + t + "\""); });
            else if (auto* t = qobject_cast<QTimeEdit*>(w))
                connect(t, &QTimeEdit::timeChanged, this,
                        [log](QTime v) { log(QStringLiteral("time=") + v.toString(QStringLiteral("HH:mm"))); });
            else if (auto* n = qobject_cast<QSpinBox*>(w))
                connect(n, &QSpinBox::valueChanged, this, [log](int v) { log(QStringLiteral("value=%1").arg(v)); });
            else if (auto* sl = qobject_cast<QSlider*>(w))
                connect(sl, &QSlider::valueChanged, this, [log](int v) { log(QStringLiteral("value=%1").arg(v)); });
            else if (auto* c = qobject_cast<QComboBox*>(w))
                connect(c, &QComboBox::currentIndexChanged, this,
                        [log, c](int i) { log(QStringLiteral("index=%1/%2").arg(i).arg(c->count())); });
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                connect(b, &QAbstractButton::toggled, this,
                        [log](bool on) { log(on ? QStringLiteral("checked") : QStringLiteral("unchecked")); });
            else if (auto* l = qobject_cast<QListWidget*>(w)) {
                // The model, not the list: the model empties itself once more
                // while the list is being destroyed, when the list is no
                // longer one.
                QAbstractItemModel* model = l->model();
                auto items = [log, model] { log(QStringLiteral("items=%1").arg(model->rowCount())); };
                connect(model, &QAbstractItemModel::rowsInserted, this, items);
                connect(model, &QAbstractItemModel::rowsRemoved, this, items);
                connect(model, &QAbstractItemModel::modelReset, this, items);
            } else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
                connect(p, &QPlainTextEdit::textChanged, this, [log] { log(QStringLiteral("text")); });
            else if (auto* tw = qobject_cast<QTabWidget*>(w))
                connect(tw, &QTabWidget::currentChanged, this, [log](int i) { log(QStringLiteral("page=%1").arg(i)); });
            w->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(o);
        const std::string name = o->objectName().toStdString();
        switch (e->type()) {
        case QEvent::EnabledChange: changes.push_back(name + (IsOwnEnabled(w) ? " enabled" : " disabled")); break;
        case QEvent::HideToParent: changes.push_back(name + " hidden"); break;
        case QEvent::ShowToParent: changes.push_back(name + " shown"); break;
        case QEvent::ParentChange:
            changes.push_back(name + " moved into " +
                              (w->parentWidget() ? w->parentWidget()->objectName().toStdString() : std::string()));
            break;
        default: break;
        }
        return false;
    }
};

// The whole editor: every page and every rule set, as the window has it.
struct Bench {
    ChangeLog log;
    QTabWidget pages;
    const bool built = (AddEditorPages(&pages), true);
    ScriptedDialogs dialogs;
    SettingsEditor editor{&pages, dialogs};
    std::set<std::string> misses;

    explicit Bench(int firmware)
    {
        CreateEditorRules(editor);
        editor.SetFieldMissHandler([this](const QString& name) { misses.insert(name.toStdString()); });
        // As the window does when a tracker with this firmware is identified.
        editor.SetFirmwareVersion(firmware);
        ApplyVersionGate(editor, firmware);
        editor.RefreshRules();
        log.Watch(&pages);
    }
};

// A configuration of stored values unlike the defaults, encoded by the
// block conversions alone so that the bytes do not depend on the binding.
inline Bytes PlausibleBlock(BlockId block, int firmware)
{
    auto vec = [](const auto& a) { return Bytes(a.begin(), a.end()); };
    switch (block) {
    case BlockId::Main:
        return vec(EncodeMainConf({.cbWriteMethod = 1,
                                   .edWritePeriod = "45",
                                   .cbWideRecord = true,
                                   .cbStaticNav = true,
                                   .intGlonass = 2,
                                   .dX = 3,
                                   .dY = -4,
                                   .dZ = 5}));
    case BlockId::Net:
        return EncodeNetConf(GenerationOf(firmware), plendoro::test::SampleNetValues(), firmware, kHourOffset);
    case BlockId::Inputs: {
        const InputsConfValues i = plendoro::test::SampleInputsValues();
        return vec(EncodeInputsConf(i, firmware));
    }
    case BlockId::Rs485:
        return vec(EncodeRs485Conf({.cbLLSAddr = {true, false, true, false, false, false, false, true},
                                    .edLLSAddr = {"11", "0", "13", "0", "0", "0", "0", "18"},
                                    .edLLSWritePeriod14 = "30",
                                    .edLLSWritePeriod58 = "40",
                                    .cbRS485Speed = 1,
                                    .cbRS485EnableGlonass = true,
                                    .GlonassMode = 2,
                                    .GlonassModeEnabled = true},
                                   firmware));
    case BlockId::Can:
        return vec(EncodeCanConf({{0x18FEF100, 1, 0, 0, 0, 0},
                                  {0x18FEFC01, 2, 1, 0, 0, 0},
                                  {0x18FF0001, 3, 0, 2, 0, 0},
                                  {0x18FEE500, 0, 0, 0, 0, 0}},
                                 {.edCANPeriodSave = "15"}));
    case BlockId::OneWire: {
        OneWireConfValues o = plendoro::test::SampleOneWireValues();
        return vec(EncodeOneWireConf(o));
    }
    }
    return {};
}

// Bytes no user would set: odd codes, out-of-range positions, unticked
// and ticked flags mixed, as a damaged or foreign tracker might send.
inline Bytes PatternedBlock(BlockId block, int firmware)
{
    Bytes b(BlockSize(block, firmware));
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(block) * 13 +
                                         static_cast<std::size_t>(firmware));
    return b;
}

inline std::string Hex(const Bytes& b)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (std::uint8_t c : b) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

// The tab page of the nearest page set that holds the widget.
inline QString PageOf(const QWidget* w)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QStackedWidget*>(p->parentWidget()) &&
            qobject_cast<const QTabWidget*>(p->parentWidget()->parentWidget()))
            return p->objectName();
    return {};
}

inline std::string WidgetState(QWidget* w)
{
    QString s = QString::fromLatin1(w->metaObject()->className());
    s += IsOwnEnabled(w) ? QStringLiteral(" on") : QStringLiteral(" off");
    if (w->isHidden())
        s += QStringLiteral(" hidden");
    if (auto* e = qobject_cast<QLineEdit*>(w))
        s += QStringLiteral(" text=\"%1\"").arg(e->text());
    else if (auto* t = qobject_cast<QTimeEdit*>(w))
        s += QStringLiteral(" time=") + t->time().toString(QStringLiteral("HH:mm"));
    else if (auto* n = qobject_cast<QSpinBox*>(w))
        s += QStringLiteral(" value=%1").arg(n->value());
    else if (auto* sl = qobject_cast<QSlider*>(w))
        s += QStringLiteral(" value=%1").arg(sl->value());
    else if (auto* c = qobject_cast<QComboBox*>(w))
        s += QStringLiteral(" index=%1/%2 \"%3\"").arg(c->currentIndex()).arg(c->count()).arg(c->currentText());
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->isCheckable())
            s += b->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" unchecked");
        s += QStringLiteral(" \"%1\"").arg(b->text());
    } else if (auto* l = qobject_cast<QLabel*>(w))
        s += QStringLiteral(" \"%1\"").arg(l->text());
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        s += QStringLiteral(" \"%1\"").arg(g->title());
    else if (auto* lw = qobject_cast<QListWidget*>(w)) {
        s += QStringLiteral(" row=%1 items=").arg(lw->currentRow());
        for (int i = 0; i < lw->count(); ++i)
            s += lw->item(i)->text() + QLatin1Char('|');
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        s += QStringLiteral(" text=\"%1\"").arg(p->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    else if (auto* tw = qobject_cast<QTabWidget*>(w)) {
        s += QStringLiteral(" page=%1 tabs=").arg(tw->currentIndex());
        for (int i = 0; i < tw->count(); ++i)
            s += tw->isTabEnabled(i) ? QLatin1Char('1') : QLatin1Char('0');
    }
    const QWidget* parent = w->parentWidget();
    s += QStringLiteral(" in=%1 page=%2").arg(parent ? parent->objectName() : QString(), PageOf(w));
    return s.toStdString();
}

using State = std::map<std::string, std::string>;

inline State Take(Bench& bench)
{
    State state;
    for (QWidget* w : bench.pages.findChildren<QWidget*>()) {
        if (!Watched(w))
            continue;
        std::string name = w->objectName().toStdString();
        while (state.count(name))
            name += '+';
        state[name] = WidgetState(w);
    }
    // What the editor holds beside its fields.
    const AccelerometerValues a = bench.editor.Accelerometer();
    state["~accelerometer"] = std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(a.z);
    std::string found;
    for (const TCANId_V3& c : bench.editor.can->FoundCanParameters())
        found += std::to_string(c.Id) + "/" + std::to_string(c.Used) + "/" + std::to_string(c.Order) + "/" +
                 std::to_string(c.Window) + " ";
    state["~found CAN parameters"] = found;
    state["~dialogs shown"] = std::to_string(bench.dialogs.shown.size());
    std::string misses;
    for (const std::string& m : bench.misses)
        misses += m + " ";
    state["~fields asked for but missing"] = misses;
    return state;
}

// Lines of `now` that differ from `before`.
inline void Delta(std::ostringstream& out, const State& before, const State& now)
{
    for (const auto& [name, value] : now) {
        auto it = before.find(name);
        if (it == before.end() || it->second != value)
            out << "  " << name << ": " << value << "\n";
    }
    for (const auto& [name, value] : before)
        if (!now.count(name))
            out << "  " << name << ": <gone>\n";
}

// The whole record for one firmware version: the attached editor in full;
// each block of the generation decoded as a device read brings it, then
// each block again from unusual bytes as a profile load brings it; then
// every block encoded, whose bytes and side effects are recorded too. Each
// step lists the changes signalled during it, then the state it left.
inline std::string Record(int firmware)
{
    Bench bench(firmware);
    std::ostringstream out;
    out << "== firmware " << firmware << "\n-- attached\n";
    State state = Take(bench);
    Delta(out, {}, state);
    const FirmwareGeneration layout = GenerationOf(firmware);
    auto step = [&](const std::string& title) {
        out << "-- " << title << "\n";
        for (const std::string& change : bench.log.changes)
            out << "  > " << change << "\n";
        bench.log.changes.clear();
        State now = Take(bench);
        Delta(out, state, now);
        state = std::move(now);
    };
    for (BlockId block : BlocksOf(firmware)) {
        const Bytes bytes = PlausibleBlock(block, firmware);
        const bool ok = DecodeBlockIntoEditor(bench.editor, block, bytes, layout, firmware, kHourOffset, true);
        step("device block " + std::to_string(static_cast<int>(block)) + (ok ? "" : " REFUSED"));
    }
    for (BlockId block : BlocksOf(firmware)) {
        const Bytes bytes = PatternedBlock(block, firmware);
        const bool ok = DecodeBlockIntoEditor(bench.editor, block, bytes, layout, firmware, kHourOffset, false);
        step("profile block " + std::to_string(static_cast<int>(block)) + (ok ? "" : " REFUSED"));
    }
    for (BlockId block : BlocksOf(firmware)) {
        const Bytes bytes = EncodeBlockFromEditor(bench.editor, block, layout, firmware, kHourOffset);
        out << "-- encoded block " << static_cast<int>(block) << " " << Hex(bytes) << "\n";
    }
    step("after encoding");
    return out.str();
}

inline std::string RecordAll()
{
    std::string all = "# What decoding each settings block does to the full editor; see\n"
                      "# tests/editor/BindingStateDump.h. Regenerate only on purpose, with\n"
                      "# scripts/update-binding-golden.sh, and review the difference.\n";
    for (int firmware : kFirmwares)
        all += Record(firmware);
    return all;
}

} // namespace binding_dump
