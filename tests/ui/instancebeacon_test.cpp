#include "ui/instancebeacon.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(InstanceBeacon, ASecondStartBringsTheRunningWindowToTheFront) {
    QTemporaryDir dir;
    QTemporaryDir other;
    QWidget window;
    window.showMinimized();
    auto* beacon = new InstanceBeacon(dir.path() + "/", &window);
    QSignalSpy called(beacon, &InstanceBeacon::called);

    EXPECT_FALSE(InstanceBeacon::callFirst(other.path() + "/")); // nobody runs there
    EXPECT_TRUE(InstanceBeacon::callFirst(dir.path() + "/"));
    ASSERT_TRUE(called.wait(5000));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

} // namespace
