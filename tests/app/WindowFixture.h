#pragma once
// A window on a temporary program folder against the simulated tracker,
// with the helpers the window tests share.
#include "ScriptedDialogs.h"
#include "WindowSettle.h"
#include "app/MainForm.h"
#include "editor/Editor.h"
#include "editor/binding/SettingsTransfer.h"
#include "link/UsbLink.h"
#include "plendoro_sim.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace windowtest {

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

inline Bytes Stored(int block)
{
    Bytes b(1024);
    const int n = PlSim_GetBlock(0, block, b.data(), static_cast<int>(b.size()));
    b.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return b;
}

inline std::string Log()
{
    std::string s(8192, '\0');
    const int n = PlSim_RequestLog(0, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<std::size_t>(std::min<int>(n, static_cast<int>(s.size()) - 1)));
    return s;
}

struct TransferFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    UsbLink link;
    std::unique_ptr<TMainForm> form;
    bool service = false; // start with the service features

    void SetUp() override
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        PlSim_SetTurnaroundUs(0);
    }
    // Starts the window with the tracker attached; `read` is whether the
    // presence check reads the settings at once.
    void Start(int firmware, bool read = true)
    {
        PlSim_SetVersions(0, firmware, 4);
        PlSim_Unplug(0);
        OpenWindow();
        form->findChild<QCheckBox*>(QStringLiteral("cbDontRead"))->setChecked(!read);
        PlSim_ClearLog(0);
        PlSim_Plug(0);
        form->CheckDevicePresence();
        Settle(*form);
    }
    // Shows the window on the program folder and lets its start timer's
    // presence check run.
    void OpenWindow()
    {
        TMainForm::Options o;
        o.programFolder = dir.path();
        QDir(dir.path()).mkpath(QStringLiteral("KVD"));
        o.link = &link;
        o.dialogs = &dialogs;
        o.watchDevices = false;
        o.service = service;
        form = std::make_unique<TMainForm>(o);
        form->show();
        QTest::qWait(150);
        Settle(*form);
    }
    QString Status() const { return form->findChild<QLabel*>(QStringLiteral("CommandInfo"))->text(); }
    QLineEdit* Edit(const char* name) const { return form->Editor().FieldAs<QLineEdit>(QLatin1String(name)); }
    Bytes Encoded(int block)
    {
        return EncodeBlockFromEditor(form->Editor(), static_cast<BlockId>(block), GenerationOf(form->FirmwareVersion()),
                                     form->FirmwareVersion(), form->LocalHourOffset());
    }
};

struct Recorded {
    QStringList texts;
    int presenceChecks = 0;
    explicit Recorded(TMainForm& form)
    {
        QObject::connect(&form, &TMainForm::StatusShown, &form, [this](const QString& text, bool) { texts << text; });
        QObject::connect(&form, &TMainForm::PresenceChecked, &form, [this] { ++presenceChecks; });
    }
};

inline bool OwnEnabled(const TMainForm& form, const char* name)
{
    auto* w = form.findChild<QWidget*>(QLatin1String(name));
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

// The read, write, CAN search and temperature search commands, as
// "name=0/1" words.
inline QString CommandStates(const TMainForm& form)
{
    QStringList words;
    for (const char* name : {"btnReadSettings", "btnWriteSettings", "btnCANSearch", "btnItSearchTemp"})
        words << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(OwnEnabled(form, name) ? 1 : 0);
    return words.join(QLatin1Char(' '));
}

} // namespace windowtest
