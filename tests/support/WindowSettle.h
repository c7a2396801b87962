#pragma once
// Device commands run on the device worker: a test waits until the window
// has taken the end of the last one (and of any check it left pending).
#include "app/MainForm.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

inline void Settle(plendoro::TMainForm& form)
{
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.DeviceBusy(); }, 60000));
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&form] { return !form.DeviceBusy(); }, 60000));
}
